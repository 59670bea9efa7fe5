// CEffectInput: the main window's collaborator for raw input and the effect
// messages. It reads WM_INPUT (and the input queued behind it), and forwards
// the link's effect messages, the raw-input messages and the pointer-tracking
// timer to the effect controller, which decides everything.
//
// The link's two effect messages are decoded here, once, and reach the
// controller typed; a message that does not decode does nothing.
//
// The controller must outlive this object, and the object must be in the
// window's handler chain from raw-input registration on. It takes
// UM_LINK_KEYS, UM_LINK_SIZE_STEP, UM_RAW_MOUSE, UM_RAW_KEY and
// TIMER_TRACK_POINTER; every other WM_TIMER, and WM_INPUT it does not
// consume, is left to the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "effects/core/effect_controller.h"
#include "effects/core/effect_ports.h"
#include "framework/message_chain.h"

namespace pv::link {
class CHidLink;
}

class CEffectInput : public IMessageHandler {
 public:
  explicit CEffectInput(pv::effects::EffectController& controller);

  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  // WM_INPUT. Returns true when the input was consumed (the message then
  // gets no default processing).
  bool OnRawInput(HRAWINPUT input);
  // Input queued behind the current WM_INPUT, read in batches.
  void DrainRawInputBuffer();

 private:
  // The WM_INPUT's own record; true when consumed.
  bool OnOwnRecord(HRAWINPUT input);

  pv::effects::EffectController& m_controller;
  // Batch buffer and its record list, allocated once: raw input arrives with
  // every mouse movement, so reading it never allocates.
  std::vector<std::uint64_t> m_batch;
  std::vector<RAWINPUT*> m_records;
};

// The receiver link's flags as the effect controller sets them.
class CLinkEffectFlags final : public pv::effects::LinkFlags {
 public:
  explicit CLinkEffectFlags(pv::link::CHidLink& link) : m_link(link) {}
  void RequestResend() override;
  void SetEffectLatched() override;
  void SetBlackScreen(bool shown) override;

 private:
  pv::link::CHidLink& m_link;
};
