#include "effects/win32/black_wnd.h"

#include "effects/win32/pointer_visibility.h"
#include "framework/gdi.h"
#include "link/core/link_messages.h"

namespace pv::effects {

void ShowTaskbar(bool show) {
  // The primary monitor's taskbar and the taskbar of every other monitor.
  // Asynchronous: the taskbars are the shell's windows, and a hung shell
  // must not hang us (nor the end of the session) with them. SW_SHOWNA:
  // bringing a taskbar back must not take the foreground.
  for (const wchar_t* cls : {L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"}) {
    for (HWND taskbar = ::FindWindowExW(nullptr, nullptr, cls, nullptr); taskbar != nullptr;
         taskbar = ::FindWindowExW(nullptr, taskbar, cls, nullptr)) {
      ::ShowWindowAsync(taskbar, show ? SW_SHOWNA : SW_HIDE);
    }
  }
}

CBlackWnd::~CBlackWnd() {
  if (m_visible) HideBlack();
}

bool CBlackWnd::CreateOverlay(HWND owner, HWND mainWindow, const PixelRect& virtualScreen) {
  if (m_hWnd != nullptr) return true;
  Style style;
  style.swallowKeys = false;
  if (!COverlayWnd::CreateOverlay(owner, virtualScreen, style)) return false;
  m_mainWindow = mainWindow;
  ::SetLayeredWindowAttributes(m_hWnd, 0, 255, LWA_ALPHA);
  ShowTaskbar(true);
  return true;
}

void CBlackWnd::ShowBlack(const PixelRect& virtualScreen) {
  if (m_hWnd == nullptr) return;
  m_visible = true;
  ShowTaskbar(false);
  HidePointerFully();
  ShowAt(virtualScreen, 0);
  SaveForeground();
}

void CBlackWnd::HideBlack() {
  Hide();
  ShowTaskbar(true);
}

void CBlackWnd::RequestClose() const {
  if (m_mainWindow != nullptr && m_visible) {
    ::PostMessageW(m_mainWindow, pv::link::UM_LINK_KEYS, pv::link::ToWParam(pv::link::KeyEvent::kBlackScreen),
                   0);
  }
}

LRESULT CBlackWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYUP:
    case WM_LBUTTONUP:
      RequestClose();
      break;
  }
  return COverlayWnd::WindowProc(msg, wp, lp);
}

void CBlackWnd::OnPaint(HDC dc) {
  if (!m_visible) return;
  FillSolidRect(dc, GetClientRect(), RGB(0, 0, 0));
  // A repaint (e.g. after a display change) keeps the pointer hidden.
  HidePointerFully();
}

void CBlackWnd::OnDisplayChange() {
  if (m_visible) ShowAt(CurrentVirtualScreen(), 0);
}

}  // namespace pv::effects
