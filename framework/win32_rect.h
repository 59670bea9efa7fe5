// The Win32 RECT of a platform-free PixelRect (same edges, right and bottom
// exclusive in both), for the calls that take a RECT.
#pragma once

#include <windows.h>

#include "framework/core/pixel_geometry.h"

namespace pv {

inline RECT ToRect(const PixelRect& r) {
  return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace pv
