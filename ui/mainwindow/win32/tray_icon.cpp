#include "ui/mainwindow/win32/tray_icon.h"

#include "ui/mainwindow/core/window_messages.h"

namespace pv::mainwindow {

bool CTrayIcon::HandleMessage(UINT msg, WPARAM wp, LPARAM /*lp*/, LRESULT& result) {
  if (msg != WM_TIMER || wp != TIMER_TRAY_RETRY) return false;
  // One-shot: the keeper starts the next one when this retry fails too.
  if (m_window != nullptr) ::KillTimer(m_window, TIMER_TRAY_RETRY);
  m_keeper.OnRetryTimer();
  result = 0;
  return true;
}

bool CTrayIcon::AddIcon() {
  return m_notify(NIM_ADD, &m_record) != FALSE;
}

bool CTrayIcon::ModifyIcon() {
  return m_notify(NIM_MODIFY, &m_record) != FALSE;
}

void CTrayIcon::DeleteIcon() {
  m_notify(NIM_DELETE, &m_record);
}

void CTrayIcon::StartRetryTimer(unsigned milliseconds) {
  if (m_window != nullptr) ::SetTimer(m_window, TIMER_TRAY_RETRY, milliseconds, nullptr);
}

void CTrayIcon::StopRetryTimer() {
  if (m_window != nullptr) ::KillTimer(m_window, TIMER_TRAY_RETRY);
}

}  // namespace pv::mainwindow
