#include "effects/win32/pointer_visibility.h"

#include <windows.h>

namespace pv::effects {
namespace {
// Enough passes for any count left by other code; bounds the loop.
constexpr int kMaxPasses = 100;
}  // namespace

void ShowPointerFully() {
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (::ShowCursor(TRUE) >= 0) break;
    ::ShowCursor(TRUE);
  }
}

void HidePointerFully() {
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (::ShowCursor(FALSE) < 0) break;
    ::ShowCursor(FALSE);
  }
}

}  // namespace pv::effects
