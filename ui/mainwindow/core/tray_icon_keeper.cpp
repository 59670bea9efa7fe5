#include "ui/mainwindow/core/tray_icon_keeper.h"

namespace pv::mainwindow {

void TrayIconKeeper::Add() {
  // A fresh start of the back-off.
  if (Retrying()) m_shell.StopRetryTimer();
  m_retryMs = 0;
  m_shown = false;
  TryAdd();
}

void TrayIconKeeper::Update() {
  if (m_shown && m_shell.ModifyIcon()) return;
  // The icon is missing (never added, or gone with the shell): add it. A
  // retry already pending keeps its back-off.
  m_shown = false;
  if (Retrying()) return;
  TryAdd();
}

void TrayIconKeeper::OnRetryTimer() {
  if (!Retrying()) return;  // a late tick of a timer already stopped
  TryAdd();
}

void TrayIconKeeper::Remove() {
  if (Retrying()) m_shell.StopRetryTimer();
  m_retryMs = 0;
  if (m_shown) m_shell.DeleteIcon();
  m_shown = false;
}

void TrayIconKeeper::TryAdd() {
  // An add that timed out may still have reached the shell: the icon is
  // then there, and a modify finds it where a second add would fail.
  if (m_shell.AddIcon() || m_shell.ModifyIcon()) {
    m_shown = true;
    if (Retrying()) m_shell.StopRetryTimer();
    m_retryMs = 0;
    return;
  }
  ScheduleRetry();
}

void TrayIconKeeper::ScheduleRetry() {
  if (m_retryMs == 0) {
    m_retryMs = kTrayRetryFirstMs;
  } else if (m_retryMs < kTrayRetryLongestMs) {
    m_retryMs = m_retryMs * 2 > kTrayRetryLongestMs ? kTrayRetryLongestMs : m_retryMs * 2;
  }
  m_shell.StartRetryTimer(m_retryMs);
}

}  // namespace pv::mainwindow
