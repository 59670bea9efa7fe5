#include "ui/mainwindow/win32/pointer_visibility.h"

#include <windows.h>

namespace {
// Enough passes for any count left by other programs; bounds the loop.
constexpr int kMaxPasses = 100;
}  // namespace

void ShowPointer() {
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (::ShowCursor(TRUE) >= 0) break;
    ::ShowCursor(TRUE);
  }
}

void HidePointer() {
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (::ShowCursor(FALSE) < 0) break;
    ::ShowCursor(FALSE);
  }
}
