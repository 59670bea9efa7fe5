// Conversions between the platform-free PixelRect and the Win32 RECT (same
// edges, right and bottom exclusive in both), at the calls that need a RECT
// and the rules that take a PixelRect.
#pragma once

#include <windows.h>

#include "framework/core/pixel_geometry.h"

namespace pv {

inline RECT ToRect(const PixelRect& r) {
  return RECT{r.left, r.top, r.right, r.bottom};
}

inline PixelRect ToPixelRect(const RECT& r) {
  return PixelRect{r.left, r.top, r.right, r.bottom};
}

}  // namespace pv
