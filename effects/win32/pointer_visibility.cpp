#include "effects/win32/pointer_visibility.h"

#include <windows.h>

namespace pv::effects {
namespace {
// Enough steps for any count left by other code; bounds the loop.
constexpr int kMaxSteps = 100;
}  // namespace

// The count can only be learnt by changing it: a first step that finds the
// pointer already on the wanted side is taken back, so the count is left as
// it was. Otherwise the steps stop at the first count on the wanted side
// (0 shown, -1 hidden) and never overshoot it.
void ShowPointerFully() {
  int count = ::ShowCursor(TRUE);
  if (count > 0) {
    ::ShowCursor(FALSE);
    return;
  }
  for (int step = 0; step < kMaxSteps && count < 0; ++step) count = ::ShowCursor(TRUE);
}

void HidePointerFully() {
  int count = ::ShowCursor(FALSE);
  if (count < -1) {
    ::ShowCursor(TRUE);
    return;
  }
  for (int step = 0; step < kMaxSteps && count >= 0; ++step) count = ::ShowCursor(FALSE);
}

}  // namespace pv::effects
