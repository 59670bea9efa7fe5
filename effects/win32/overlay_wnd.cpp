#include "effects/win32/overlay_wnd.h"

#include "framework/gdi.h"
#include "framework/window_class.h"

namespace pv::effects {

PixelRect CurrentVirtualScreen() {
  const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RectAt({x, y}, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

bool COverlayWnd::CreateOverlay(HWND owner, const PixelRect& rect, const Style& style) {
  if (m_hWnd != nullptr) return true;
  m_swallowKeys = style.swallowKeys;
  m_followsOwner = style.followsOwner;
  const std::wstring cls = RegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
  if (cls.empty()) return false;
  // No WS_VISIBLE: the window never appears before its effect is shown.
  return CreateEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW | style.extraExStyle, cls.c_str(), L"", WS_POPUP,
                  rect.left, rect.top, rect.Width(), rect.Height(), owner);
}

void COverlayWnd::Hide() {
  m_visible = false;
  if (m_hWnd == nullptr) return;
  ::ShowWindow(m_hWnd, SW_HIDE);
  SaveForeground();
}

void COverlayWnd::ShowAt(const PixelRect& rect, UINT flags) {
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, rect.left, rect.top, rect.Width(), rect.Height(),
                 flags | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
}

void COverlayWnd::OnMouseActivate() {
  const HWND back = m_prevForeground;
  if (back != nullptr && back != m_hWnd && ::IsWindow(back) && ::GetForegroundWindow() != back) {
    ::SetForegroundWindow(back);
  }
}

LRESULT COverlayWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      CPaintDC paint(m_hWnd);
      if (!::IsIconic(m_hWnd)) OnPaint(paint.Get());
      return 0;
    }
    case WM_ERASEBKGND:
      return 0;
    case WM_MOUSEACTIVATE:
      OnMouseActivate();
      return MA_NOACTIVATEANDEAT;
    case WM_KEYDOWN:
      if (m_swallowKeys) return 0;
      break;
    case WM_DISPLAYCHANGE:
      OnDisplayChange();
      break;
    case WM_SHOWWINDOW:
      // The owner was minimised or restored. The default processing would
      // hide the window and show it again at the restore, even when its
      // effect ended in between: it would come back by itself, top-most.
      if (!m_followsOwner && (lp == SW_PARENTCLOSING || lp == SW_PARENTOPENING)) return 0;
      break;
  }
  return CWnd::WindowProc(msg, wp, lp);
}

}  // namespace pv::effects
