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
    // The preview belongs with the page: it hides with the minimised main
    // window and comes back with it.
    style.followsOwner = true;
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

// Right above the page at every showing, the first included: the page may
// just have been raised over it (brought to the front), and showing a
// hidden window leaves it where it was in the z-order. Placed behind the
// window that lies directly above the page, it is above the page and below
// everything else; when the page is the top window, at the top.
//
// On its way there it passes the top of the top-most windows: a display
// that stacks its windows itself (Wine's X11 driver) restacks a window only
// when it becomes the very top one, and would otherwise leave the preview
// under the page it has just raised.
void CExampleWnd::ShowPreview() {
  if (m_hWnd == nullptr) return;
  m_visible = true;
  const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW;
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags | SWP_NOREDRAW);
  ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags | SWP_NOREDRAW);
  HWND insertAfter = HWND_TOP;
  if (const HWND page = ::GetWindow(m_hWnd, GW_OWNER)) {
    const HWND above = ::GetWindow(page, GW_HWNDPREV);
    // A top-most window above the page would make the preview top-most too.
    if (above != nullptr && above != m_hWnd &&
        (::GetWindowLongPtrW(above, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) {
      insertAfter = above;
    }
  }
  ::SetWindowPos(m_hWnd, insertAfter, 0, 0, 0, 0, flags);
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
