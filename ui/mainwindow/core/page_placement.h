// Places on the page that come from the page picture's pixel geometry rather
// than from a dialog template, whose size grows with the screen's scaling.
#pragma once

#include "ui/mainwindow/core/page_layout.h"

namespace pv::mainwindow {

// The low-battery symbol was drawn against the right edge of the template's
// client area at 100 % scaling (309 dialog units of the 8-point shell font,
// 463 pixels), so it sits at (413, 10) on the 621-pixel page.
inline constexpr int kBatteryClientRight = 463;

// Top-left corner of the pointer arrow in the preview: the preview's centre.
constexpr PixelPoint PreviewArrowAt() {
  return {(kPreviewRect.left + kPreviewRect.right) / 2, (kPreviewRect.top + kPreviewRect.bottom) / 2};
}

}  // namespace pv::mainwindow
