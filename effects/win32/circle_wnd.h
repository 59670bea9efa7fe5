// CCircleWnd: the digital laser. A small square layered window whose white
// pixels are transparent (colour key) with a filled disc in the middle. The
// disc is drawn once per show into a memory bitmap; following the pointer
// only moves the window.
#pragma once

#include <cstdint>

#include "effects/win32/memory_canvas.h"
#include "effects/win32/overlay_wnd.h"

namespace pv::effects {

class CCircleWnd : public COverlayWnd {
 public:
  bool CreateOverlay(HWND owner, const PixelRect& virtualScreen);

  // `window` is the square window (edge s); `rgb` the colour as 0xRRGGBB.
  void Show(const PixelRect& window, std::uint32_t rgb);
  // One SetWindowPos, no repaint.
  void Move(const PixelRect& window);

  // The disc's margin inside a square of edge `edge`: 10, or a quarter of
  // the edge for edges below 40.
  static int Margin(int edge) { return edge / 2 >= 20 ? 10 : (edge / 2) / 2; }

 protected:
  void OnPaint(HDC dc) override;

 private:
  void Render(int edge, std::uint32_t rgb);

  PixelRect m_window;
  CMemoryCanvas m_disc;
};

}  // namespace pv::effects
