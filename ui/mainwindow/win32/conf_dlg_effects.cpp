// CConfDlg: the presentation effects. The window owns the overlay windows and
// the effect controller, and is the controller's host: it enters the effect
// mode, puts itself into the tray and runs the pointer-tracking timer. It
// also lays out the settings page's preview of the spotlight.
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/conf_dlg.h"

namespace pv::mainwindow {

// Right after the raw-input registration: mask, spotlight, lens, circle and
// the black screen, all hidden (which also brings back a taskbar an earlier
// run left hidden).
void CConfDlg::CreateEffectWindows() {
  m_effectWindows.Create(m_hWnd);
  // No fade as the window goes into the tray: the magnifier's picture,
  // taken as an effect starts, must not catch it on its way out.
  m_effectWindows.Composition().DisableTransitions(m_hWnd);
}

// Hidden until the settings page is laid out.
void CConfDlg::CreatePreview() {
  m_preview.Create(*this);
}

// The preview shows only on the settings page of a window that is on the
// screen: never while the window stays hidden or sits in the tray.
void CConfDlg::LayOutPreview() {
  m_preview.LayOut(SettingsPageShown());
}

bool CConfDlg::SettingsPageShown() {
  return m_mode == MODE_READY && MainWindowShown();
}

// Escape in the focused preview: the page's own cancel.
void CConfDlg::OnPreviewCancel() {
  OnCancel();
}

bool CConfDlg::InEffectMode() {
  return m_mode == MODE_EFFECT;
}

void CConfDlg::EnterEffectMode() {
  m_mode = MODE_EFFECT;
  ApplyLayout();
}

bool CConfDlg::MainWindowShown() {
  return ::IsWindowVisible(m_hWnd) != FALSE && ::IsIconic(m_hWnd) == FALSE;
}

bool CConfDlg::PointerOverHelpLink() {
  return m_settingsPage.PointerOverHelpLink();
}

bool CConfDlg::RfLinked() {
  return m_bRfLinked != FALSE;
}

void CConfDlg::SetTrackingPeriod(unsigned milliseconds) {
  m_timerTrack = SetTimer(TIMER_TRACK_POINTER, milliseconds);
}

}  // namespace pv::mainwindow
