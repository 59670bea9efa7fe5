// CZoomWnd: the 2x magnifier. A round D x D lens that shows a still picture
// of the virtual screen, taken before the lens appears, enlarged twice around
// the pointer, framed by a dark outer and a light inner ring. Each move
// renders only the D x D lens, off-screen, and copies it in one blit.
#pragma once

#include "effects/win32/memory_canvas.h"
#include "effects/win32/overlay_wnd.h"
#include "framework/dwm_composition.h"
#include "framework/gdi.h"

namespace pv::effects {

class CZoomWnd : public COverlayWnd {
 public:
  static constexpr int kZoomFactor = 2;

  bool CreateOverlay(HWND owner, const PixelRect& virtualScreen);
  // The compositor the capture waits for and the lens is shown through;
  // may be null (no waiting, shown plainly). Not owned.
  void SetCompositor(Compositor* compositor) { m_compositor = compositor; }

  // `lens` is the window rectangle, D x D centred on the pointer. With
  // `capture` a new still picture of the virtual screen is taken first
  // (before the lens shows, so it never magnifies itself).
  void Show(const PixelRect& lens, bool capture);
  void Move(const PixelRect& lens);

  // Takes the still picture of the whole virtual screen, layered windows
  // included, once the compositor shows what was hidden just before (the
  // main window, another effect).
  void CaptureScreen();
  // Renders the lens for the current position into its off-screen image and
  // copies it to `dc` (the lens window's DC, client coordinates).
  void RenderTo(HDC dc);

 protected:
  void OnPaint(HDC dc) override;

 private:
  void ApplyRoundRegion(int diameter);
  void DrawMagnified(HDC target, int diameter) const;
  bool PrepareRings(HDC reference, int diameter);

  PixelRect m_lens;
  PixelRect m_captured;  // the screen rectangle the picture shows
  CMemoryCanvas m_capture;
  CMemoryCanvas m_offscreen;
  // The two rings of the current diameter, drawn once per size and laid over
  // each render with two blits: the mask is black on the rings and white
  // elsewhere, the colours are the rings' own on black.
  CMemoryCanvas m_ringMask;
  CMemoryCanvas m_ringColours;
  int m_regionDiameter = 0;
  Compositor* m_compositor = nullptr;
};

}  // namespace pv::effects
