// CLinkEffectFlags: the receiver link's flags as the effect controller sets
// them (its LinkFlags port over CHidLink).
#pragma once

#include "effects/core/effect_ports.h"

namespace pv::link {
class CHidLink;
}

namespace pv::effects {

class CLinkEffectFlags final : public LinkFlags {
 public:
  // The link outlives this object.
  explicit CLinkEffectFlags(pv::link::CHidLink& link) : m_link(link) {}
  void RequestResend() override;
  void SetEffectLatched() override;
  void SetBlackScreen(bool shown) override;

 private:
  pv::link::CHidLink& m_link;
};

}  // namespace pv::effects
