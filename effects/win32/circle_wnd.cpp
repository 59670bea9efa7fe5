#include "effects/win32/circle_wnd.h"

#include "framework/gdi.h"

namespace pv::effects {
namespace {
constexpr COLORREF kTransparent = RGB(255, 255, 255);

// The disc's colour from 0xRRGGBB. Pure white is the transparency key and
// would make the laser vanish; it is drawn as the nearest other white.
COLORREF DiscColour(std::uint32_t rgb) {
  const COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  return colour == kTransparent ? RGB(254, 254, 254) : colour;
}
}  // namespace

bool CCircleWnd::CreateOverlay(HWND owner, const PixelRect& virtualScreen) {
  if (!COverlayWnd::CreateOverlay(owner, virtualScreen, Style{})) return false;
  return ::SetLayeredWindowAttributes(m_hWnd, kTransparent, 0, LWA_COLORKEY) != FALSE;
}

void CCircleWnd::Show(const PixelRect& window, std::uint32_t rgb) {
  m_visible = true;  // also without a window (see COverlayWnd::m_visible)
  if (m_hWnd == nullptr) return;
  m_window = window;
  Render(window.Width(), rgb);
  ::SetLayeredWindowAttributes(m_hWnd, kTransparent, 0, LWA_COLORKEY);
  ShowAt(window, SWP_NOREDRAW);
  {
    CClientDC dc(m_hWnd);
    ::BitBlt(dc.Get(), 0, 0, m_disc.Width(), m_disc.Height(), m_disc.Dc(), 0, 0, SRCCOPY);
  }
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  SaveForeground();
}

void CCircleWnd::Move(const PixelRect& window) {
  if (m_hWnd == nullptr || !m_visible || window == m_window) return;
  m_window = window;
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, window.left, window.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
}

void CCircleWnd::Render(int edge, std::uint32_t rgb) {
  {
    CClientDC windowDc(m_hWnd);
    if (!m_disc.Create(windowDc.Get(), edge, edge)) return;
  }
  const HDC dc = m_disc.Dc();
  FillSolidRect(dc, RECT{0, 0, edge, edge}, kTransparent);
  const COLORREF colour = DiscColour(rgb);
  CPen pen(::CreatePen(PS_SOLID, 1, colour));
  CBrush brush(::CreateSolidBrush(colour));
  CSelectObject usePen(dc, pen.Get());
  CSelectObject useBrush(dc, brush.Get());
  const int m = Margin(edge);
  ::Ellipse(dc, m, m, edge - m, edge - m);
}

void CCircleWnd::OnPaint(HDC dc) {
  if (!m_visible || !m_disc.Valid()) return;
  ::BitBlt(dc, 0, 0, m_disc.Width(), m_disc.Height(), m_disc.Dc(), 0, 0, SRCCOPY);
}

}  // namespace pv::effects
