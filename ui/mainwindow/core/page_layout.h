// Fixed client-pixel positions of the main window's pages. The page pictures
// are drawn for exactly these places, so they are data, not layout.
#pragma once

#include "framework/core/pixel_geometry.h"
#include "ui/mainwindow/core/page_mode.h"

namespace pv::mainwindow {

using pv::PixelPoint;
using pv::PixelRect;
using pv::RectAt;

// Top-left corners; sizes come from the pictures drawn there.
inline constexpr PixelPoint kAutoBootSwitchAt{555, 175};
inline constexpr PixelPoint kAntiLostSwitchAt{555, 218};
inline constexpr PixelPoint kTimerSwitchAt{555, 268};
inline constexpr PixelPoint kPointerToggleAt{274, 262};
inline constexpr PixelPoint kTimerEditAt{555, 290};
inline constexpr PixelPoint kBrightnessSliderAt{15, 269};
inline constexpr PixelPoint kPointerSpeedSliderAt{30, 413};
inline constexpr PixelPoint kCircleColorSliderAt{48, 342};
inline constexpr PixelRect kVersionField{455, 85, 505, 105};

inline constexpr PixelRect kPreviewRect{15, 103, 305, 251};
inline constexpr PixelRect kColorDot{13, 337, 41, 365};
inline constexpr PixelRect kUpdateLink{550, 82, 605, 106};
inline constexpr PixelRect kHelpLinkReady{556, 126, 606, 150};
inline constexpr PixelRect kHelpLinkNotReady{43, 326, 163, 370};

// Pressing the left button in this many pixels at the top drags the window.
inline constexpr int kDragStripHeight = 60;

// The low-battery symbol sits this far in from the top right of the client area.
inline constexpr int kBatteryMarginRight = 10;
inline constexpr int kBatteryMarginTop = 10;

constexpr PixelRect BatteryRect(int clientRight, int symbolWidth, int symbolHeight) {
  const int right = clientRight - kBatteryMarginRight;
  return {right - symbolWidth, kBatteryMarginTop, right, kBatteryMarginTop + symbolHeight};
}

// The help link exists on both pages, at different places; the update link
// only on the settings page.
constexpr PixelRect HelpLinkRect(PageMode mode) {
  if (mode == MODE_READY) return kHelpLinkReady;
  if (mode == MODE_NOT_READY) return kHelpLinkNotReady;
  return {};
}

constexpr PixelRect UpdateLinkRect(PageMode mode) {
  return mode == MODE_READY ? kUpdateLink : PixelRect{};
}

// Top-left corner that centres a window of the given size on a point
// (integer halves, as the window is placed on whole pixels).
constexpr PixelPoint CentredAt(PixelPoint centre, int width, int height) {
  return {centre.x - width / 2, centre.y - height / 2};
}

}  // namespace pv::mainwindow
