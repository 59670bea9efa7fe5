#include "effects/win32/zoom_wnd.h"

#include <algorithm>

namespace pv::effects {
namespace {
constexpr COLORREF kLensBackground = RGB(255, 255, 255);
constexpr int kRingWidth = 3;

constexpr COLORREF kOuterRing = RGB(0, 0, 0);
constexpr COLORREF kInnerRing = RGB(250, 250, 250);

// The outer ring then the inner one, unfilled, in the given colours.
void DrawRings(HDC dc, int d, COLORREF outer, COLORREF inner) {
  CPen outerPen(::CreatePen(PS_SOLID, kRingWidth, outer));
  CPen innerPen(::CreatePen(PS_SOLID, kRingWidth, inner));
  CSelectObject noFill(dc, ::GetStockObject(NULL_BRUSH));
  {
    CSelectObject pen(dc, outerPen.Get());
    ::Ellipse(dc, 1, 1, d - 2, d - 2);
  }
  CSelectObject pen(dc, innerPen.Get());
  ::Ellipse(dc, 4, 4, d - 5, d - 5);
}
}  // namespace

bool CZoomWnd::CreateOverlay(HWND owner, const PixelRect& virtualScreen) {
  if (!COverlayWnd::CreateOverlay(owner, virtualScreen, Style{})) return false;
  return ::SetLayeredWindowAttributes(m_hWnd, 0, 255, LWA_ALPHA) != FALSE;
}

void CZoomWnd::Show(const PixelRect& lens, bool capture) {
  m_visible = true;  // also without a window (see COverlayWnd::m_visible)
  if (m_hWnd == nullptr) return;
  if (capture || !m_capture.Valid()) CaptureScreen();
  m_lens = lens;
  ApplyRoundRegion(lens.Width());
  // Painted before anyone sees it: shown cloaked, rendered, then uncloaked,
  // so no unpainted first frame reaches the screen.
  if (m_compositor != nullptr) m_compositor->Cloak(m_hWnd, true);
  ShowAt(lens, SWP_NOREDRAW);
  {
    CClientDC dc(m_hWnd);
    RenderTo(dc.Get());
  }
  ::ValidateRect(m_hWnd, nullptr);
  if (m_compositor != nullptr) m_compositor->Cloak(m_hWnd, false);
  SaveForeground();
}

void CZoomWnd::Move(const PixelRect& lens) {
  if (m_hWnd == nullptr || !m_visible || lens == m_lens) return;
  m_lens = lens;
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, lens.left, lens.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
  // Rendered at once rather than at the next WM_PAINT, so the lens never
  // shows its old content at the new place.
  {
    CClientDC dc(m_hWnd);
    RenderTo(dc.Get());
  }
  ::ValidateRect(m_hWnd, nullptr);
}

void CZoomWnd::CaptureScreen() {
  // The screen is composed asynchronously: what was hidden a moment ago may
  // still be on it until the compositor's next frame.
  if (m_compositor != nullptr) m_compositor->WaitForComposition();
  const PixelRect screen = CurrentVirtualScreen();
  CClientDC screenDc(nullptr);
  // The picture's bitmap is kept from show to show while the screen's size
  // stays, so a show costs one blit.
  const bool sameSize =
      m_capture.Valid() && m_capture.Width() == screen.Width() && m_capture.Height() == screen.Height();
  if (!sameSize && !m_capture.Create(screenDc.Get(), screen.Width(), screen.Height())) return;
  m_captured = screen;
  ::BitBlt(m_capture.Dc(), 0, 0, screen.Width(), screen.Height(), screenDc.Get(), screen.left, screen.top,
           SRCCOPY | CAPTUREBLT);
}

void CZoomWnd::ApplyRoundRegion(int diameter) {
  if (diameter == m_regionDiameter) return;
  CRgn round(::CreateEllipticRgn(0, 0, diameter, diameter));
  if (round && ::SetWindowRgn(m_hWnd, round.Get(), FALSE) != 0) {
    round.Release();
    m_regionDiameter = diameter;
  }
}

// The s x s square of the picture centred on the pointer (s = D / 2), drawn
// D x D. The part of the square beyond the picture (near the edges of the
// virtual screen) stays white.
void CZoomWnd::DrawMagnified(HDC target, int diameter) const {
  const int side = diameter / kZoomFactor;
  if (side <= 0 || !m_capture.Valid()) return;
  const int half = (diameter / 2) / kZoomFactor;
  // The pointer in picture coordinates (the picture's (0, 0) is the
  // virtual screen's top-left).
  const int cx = m_lens.left + diameter / 2 - m_captured.left;
  const int cy = m_lens.top + diameter / 2 - m_captured.top;
  const int sx = cx - half, sy = cy - half;
  const int left = std::max(sx, 0), top = std::max(sy, 0);
  const int right = std::min(sx + side, m_capture.Width()), bottom = std::min(sy + side, m_capture.Height());
  if (right <= left || bottom <= top) return;
  // Map the clipped source back onto the lens at the same scale.
  const auto toLens = [diameter, side](int offset) { return offset * diameter / side; };
  const int dl = toLens(left - sx), dt = toLens(top - sy);
  const int dr = toLens(right - sx), db = toLens(bottom - sy);
  ::SetStretchBltMode(target, HALFTONE);
  ::SetBrushOrgEx(target, 0, 0, nullptr);
  ::StretchBlt(target, dl, dt, dr - dl, db - dt, m_capture.Dc(), left, top, right - left, bottom - top,
               SRCCOPY);
}

bool CZoomWnd::PrepareRings(HDC reference, int d) {
  if (m_ringMask.Valid() && m_ringMask.Width() == d) return true;
  if (!m_ringMask.Create(reference, d, d) || !m_ringColours.Create(reference, d, d)) return false;
  FillSolidRect(m_ringMask.Dc(), RECT{0, 0, d, d}, RGB(255, 255, 255));
  DrawRings(m_ringMask.Dc(), d, RGB(0, 0, 0), RGB(0, 0, 0));
  FillSolidRect(m_ringColours.Dc(), RECT{0, 0, d, d}, RGB(0, 0, 0));
  DrawRings(m_ringColours.Dc(), d, kOuterRing, kInnerRing);
  return true;
}

void CZoomWnd::RenderTo(HDC dc) {
  const int d = m_lens.Width();
  if (d <= 0) return;
  if (!m_offscreen.Valid() || m_offscreen.Width() != d) {
    if (!m_offscreen.Create(dc, d, d)) return;
  }
  if (!PrepareRings(dc, d)) return;
  const HDC mem = m_offscreen.Dc();
  FillSolidRect(mem, RECT{0, 0, d, d}, kLensBackground);
  DrawMagnified(mem, d);
  ::BitBlt(mem, 0, 0, d, d, m_ringMask.Dc(), 0, 0, SRCAND);
  ::BitBlt(mem, 0, 0, d, d, m_ringColours.Dc(), 0, 0, SRCPAINT);
  ::BitBlt(dc, 0, 0, d, d, mem, 0, 0, SRCCOPY);
}

void CZoomWnd::OnPaint(HDC dc) {
  if (m_visible) RenderTo(dc);
}

}  // namespace pv::effects
