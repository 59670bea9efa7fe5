// CConfDlg: page modes, showing the window and putting it into the tray.
#include "effects/win32/pointer_visibility.h"
#include "link/core/hid_link.h"
#include "resources/resource_ids.h"
#include "ui/mainwindow/core/page_layout.h"
#include "ui/mainwindow/win32/conf_dlg.h"

namespace pv::mainwindow {

void CConfDlg::ShowMainWindow() {
  m_bKeepHidden = false;
  if (m_effects.AnyEffectVisible()) m_effects.StopEffects();
  const PageMode mode = PageForLink(m_bReceiverPresent, m_bRfLinked);
  if (mode != m_mode) {
    m_mode = mode;
    ApplyLayout();
    Invalidate(TRUE);
  }
  // Restores the minimised, hidden window and brings it to the front. The
  // preview is shown again after that, so it lies above the raised page.
  m_preview.Hide();
  ::SwitchToThisWindow(m_hWnd, TRUE);
  if (!::IsWindowVisible(m_hWnd)) ShowWindow(SW_SHOWNORMAL);
  ::SetForegroundWindow(m_hWnd);
  LayOutPreview();
}

void CConfDlg::RefreshMode(RefreshType type) {
  const RefreshModeSteps steps =
      RefreshModePlan(type, ::IsIconic(m_hWnd) != FALSE, m_mode, m_bReceiverPresent, m_bRfLinked);
  if (steps.applyLayout) {
    m_mode = steps.newMode;
    // A window in the tray is laid out for the new page without appearing.
    if (steps.hideToTray && !::IsWindowVisible(m_hWnd)) m_bKeepHidden = true;
    ApplyLayout();
  }
  if (steps.invalidate) Invalidate(TRUE);
  if (steps.hideToTray) HideToTray();
}

void CConfDlg::ApplyLayout() {
  if (m_mode == MODE_EFFECT) {
    m_preview.Hide();
    ShowWindow(SW_HIDE);
    m_settingsPage.ShowControls(false);
    m_timerPage.ShowControls(false);
    return;
  }

  // Every effect ends before the page shows, as on Escape: a circle left
  // on screen would keep its click-swallowing mask over the page.
  m_effects.StopEffects();
  const bool ready = m_mode == MODE_READY;
  if (m_bLangZh) {
    m_bgImageId = ready ? IDP_SETTINGS_PAGE_ZH : IDP_NOT_READY_PAGE_ZH;
  } else {
    m_bgImageId = ready ? IDP_SETTINGS_PAGE_EN : IDP_NOT_READY_PAGE_EN;
  }
  // Size and place the window for the page before it becomes visible, so it
  // never shows the old page at the new size.
  RECT page{};
  m_pictures.GetRect(m_bgImageId, &page);
  const PixelPoint topLeft = CentredAt({m_screenCenter.x, m_screenCenter.y}, page.right, page.bottom);
  PlaceWindow({topLeft.x, topLeft.y, topLeft.x + page.right, topLeft.y + page.bottom});
  // The preview stays hidden while the window appears (it would show on
  // its own for a moment), and is laid out once the page is complete.
  m_preview.Hide();
  if (!m_bKeepHidden) ShowWindow(SW_SHOWNORMAL);
  m_preview.Hide();
  pv::effects::ShowPointerFully();

  m_settingsPage.ShowControls(ready);
  m_timerPage.ShowControls(ready);
  LayOutPreview();
}

// Moves a normal window; for a minimised one sets the place it is restored
// to (moving an icon would leave the restored window at the old page's size).
void CConfDlg::PlaceWindow(const RECT& screenRect) {
  if (!::IsIconic(m_hWnd)) {
    MoveWindow(screenRect.left, screenRect.top, screenRect.right - screenRect.left,
               screenRect.bottom - screenRect.top, TRUE);
    return;
  }
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(m_hWnd, &placement);
  // The restored position is in work-area coordinates.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromRect(&screenRect, MONITOR_DEFAULTTOPRIMARY), &monitor);
  placement.rcNormalPosition = screenRect;
  ::OffsetRect(&placement.rcNormalPosition, monitor.rcMonitor.left - monitor.rcWork.left,
               monitor.rcMonitor.top - monitor.rcWork.top);
  placement.showCmd = ::IsWindowVisible(m_hWnd) ? SW_SHOWMINNOACTIVE : SW_HIDE;
  placement.flags = 0;
  ::SetWindowPlacement(m_hWnd, &placement);
}

// Minimises and hides the window. A window that is already hidden is
// minimised without appearing, so nothing flashes on the screen.
void CConfDlg::HideToTray() {
  if (m_effects.AnyEffectVisible()) m_effects.StopEffects();
  m_preview.Hide();
  if (m_timerAutoHide != 0) KillTimer(std::exchange(m_timerAutoHide, 0));
  if (!::IsIconic(m_hWnd)) {
    if (!::IsWindowVisible(m_hWnd)) m_bKeepHidden = true;
    ShowWindow(SW_MINIMIZE);
    ShowWindow(SW_HIDE);
  }
  m_bKeepHidden = false;
}

// Escape, or closing the window: stop any effect and go back to the tray.
// The program itself never ends this way.
void CConfDlg::OnCancel() {
  m_effects.StopEffects();
  HideToTray();
}

}  // namespace pv::mainwindow
