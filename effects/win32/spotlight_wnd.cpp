#include "effects/win32/spotlight_wnd.h"

#include "framework/gdi.h"

namespace pv::effects {

bool CSpotlightWnd::CreateOverlay(HWND owner, const PixelRect& virtualScreen) {
  if (!COverlayWnd::CreateOverlay(owner, virtualScreen, Style{})) return false;
  m_screen = virtualScreen;
  return ::SetLayeredWindowAttributes(m_hWnd, 0, 1, LWA_ALPHA) != FALSE;
}

void CSpotlightWnd::Show(const PixelRect& virtualScreen, std::uint8_t opacity, const PixelRect& holeBox) {
  m_visible = true;  // also without a window (see COverlayWnd::m_visible)
  if (m_hWnd == nullptr) return;
  m_screen = virtualScreen;
  ::SetLayeredWindowAttributes(m_hWnd, 0, opacity, LWA_ALPHA);
  // The hole is cut before the window appears, so the screen under it never
  // darkens, not even for one frame.
  CutHole(holeBox);
  ShowAt(virtualScreen, SWP_NOREDRAW);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  SaveForeground();
}

void CSpotlightWnd::MoveHole(const PixelRect& holeBox) {
  if (m_hWnd == nullptr || holeBox == m_holeBox) return;
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  CutHole(holeBox);
}

void CSpotlightWnd::CutHole(const PixelRect& holeBox) {
  m_holeBox = holeBox;
  // Region coordinates are the window's own: the virtual screen's top-left is
  // (0, 0) there, which differs from the screen's (0, 0) when a monitor lies
  // left of or above the primary one.
  const int dx = -m_screen.left;
  const int dy = -m_screen.top;
  CRgn layer(::CreateRectRgn(0, 0, m_screen.Width(), m_screen.Height()));
  CRgn hole(
      ::CreateEllipticRgn(holeBox.left + dx, holeBox.top + dy, holeBox.right + dx, holeBox.bottom + dy));
  if (!layer || !hole) return;
  ::CombineRgn(layer.Get(), layer.Get(), hole.Get(), RGN_DIFF);
  // The window owns the region once SetWindowRgn succeeds.
  if (::SetWindowRgn(m_hWnd, layer.Get(), FALSE) != 0) layer.Release();
}

void CSpotlightWnd::OnPaint(HDC dc) {
  if (!m_visible) return;
  FillSolidRect(dc, GetClientRect(), RGB(0, 0, 0));
}

void CSpotlightWnd::OnDisplayChange() {
  if (!m_visible) return;
  m_screen = CurrentVirtualScreen();
  CutHole(m_holeBox);
  ShowAt(m_screen, 0);
}

}  // namespace pv::effects
