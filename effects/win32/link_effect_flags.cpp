#include "effects/win32/link_effect_flags.h"

#include "link/core/hid_link.h"

namespace pv::effects {

void CLinkEffectFlags::RequestResend() {
  m_link.RequestResend();
}
void CLinkEffectFlags::SetEffectLatched() {
  m_link.SetEffectLatched();
}
void CLinkEffectFlags::SetBlackScreen(bool shown) {
  m_link.SetBlackScreen(shown);
}

}  // namespace pv::effects
