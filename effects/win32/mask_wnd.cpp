#include "effects/win32/mask_wnd.h"

#include "framework/gdi.h"

namespace pv::effects {

bool CMaskWnd::CreateOverlay(HWND owner, const PixelRect& virtualScreen) {
  // Keys get the default processing: the mask never has the focus anyway.
  Style style;
  style.swallowKeys = false;
  if (!COverlayWnd::CreateOverlay(owner, virtualScreen, style)) return false;
  return ::SetLayeredWindowAttributes(m_hWnd, 0, 1, LWA_ALPHA) != FALSE;
}

void CMaskWnd::Show(const PixelRect& virtualScreen) {
  if (m_hWnd == nullptr) return;
  m_visible = true;
  ShowAt(virtualScreen, 0);
  SaveForeground();
}

void CMaskWnd::OnPaint(HDC dc) {
  FillSolidRect(dc, GetClientRect(), RGB(255, 255, 255));
}

void CMaskWnd::OnDisplayChange() {
  if (m_visible) ShowAt(CurrentVirtualScreen(), 0);
}

}  // namespace pv::effects
