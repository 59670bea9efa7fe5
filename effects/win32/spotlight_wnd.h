// CSpotlightWnd: the spotlight. A black layer over the virtual screen at the
// chosen opacity with a round hole, cut out of the window's region, through
// which the screen shows unchanged and clicks pass to the window below.
#pragma once

#include <cstdint>

#include "effects/win32/overlay_wnd.h"

namespace pv::effects {

class CSpotlightWnd : public COverlayWnd {
 public:
  bool CreateOverlay(HWND owner, const PixelRect& virtualScreen);

  // Covers `virtualScreen`, darkens it at `opacity` (0 clear .. 255 black)
  // and cuts the hole whose disc is bounded by `holeBox` (screen coordinates).
  void Show(const PixelRect& virtualScreen, std::uint8_t opacity, const PixelRect& holeBox);
  // Moves the hole: one region rebuild, no repaint. Also keeps the layer
  // above the other top-most windows.
  void MoveHole(const PixelRect& holeBox);

 protected:
  void OnPaint(HDC dc) override;
  void OnDisplayChange() override;

 private:
  void CutHole(const PixelRect& holeBox);

  PixelRect m_screen;   // the window's rectangle while shown
  PixelRect m_holeBox;  // the hole's bounding box, screen coordinates
};

}  // namespace pv::effects
