#include "effects/win32/example_wnd.h"

#include "framework/gdi.h"

namespace pv::effects {

void CExampleWnd::CreateOrMove(HWND parent, int x, int y, std::uint8_t opacity, std::uint32_t diameter) {
  if (m_hWnd == nullptr) {
    // Not top-most and not "no-activate": the preview lies over its owner,
    // the main window, and takes the focus when clicked (Escape closes the page).
    Style style;
    style.extraExStyle = 0;
    style.swallowKeys = false;
    if (!CreateOverlay(parent, RectAt({x, y}, kWidth, kHeight), style)) return;
  } else {
    ::MoveWindow(m_hWnd, x, y, kWidth, kHeight, TRUE);
  }
  SetOpacity(opacity);
  SetHoleSize(diameter);
}

void CExampleWnd::SetOpacity(std::uint8_t opacity) {
  if (m_hWnd != nullptr) ::SetLayeredWindowAttributes(m_hWnd, 0, opacity, LWA_ALPHA);
}

void CExampleWnd::SetHoleSize(std::uint32_t diameter) {
  if (m_hWnd == nullptr) return;
  const RECT client = GetClientRect();
  const int cx = (client.left + client.right) / 2;
  const int cy = (client.top + client.bottom) / 2;
  const int q = static_cast<int>(diameter / 2);
  CRgn layer(::CreateRectRgn(0, 0, client.right - client.left, client.bottom - client.top));
  CRgn hole(::CreateEllipticRgn(cx - q, cy - q, cx + q, cy + q));
  if (!layer || !hole) return;
  ::CombineRgn(layer.Get(), layer.Get(), hole.Get(), RGN_DIFF);
  if (::SetWindowRgn(m_hWnd, layer.Get(), TRUE) != 0) layer.Release();
}

void CExampleWnd::MoveTo(int x, int y) {
  if (m_hWnd != nullptr) ::MoveWindow(m_hWnd, x, y, kWidth, kHeight, FALSE);
}

void CExampleWnd::ShowPreview() {
  if (m_hWnd == nullptr) return;
  m_visible = true;
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

LRESULT CExampleWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN && wp == VK_ESCAPE && m_owner != nullptr) {
    m_owner->OnPreviewCancel();
    return 0;
  }
  // A click activates the preview like any part of the page.
  if (msg == WM_MOUSEACTIVATE) return CWnd::WindowProc(msg, wp, lp);
  return COverlayWnd::WindowProc(msg, wp, lp);
}

void CExampleWnd::OnPaint(HDC dc) {
  FillSolidRect(dc, GetClientRect(), RGB(0, 0, 0));
}

}  // namespace pv::effects
