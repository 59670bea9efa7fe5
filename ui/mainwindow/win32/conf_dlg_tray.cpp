// CConfDlg: the tray icon, its menu, and how the window follows the receiver
// and the remote (including the anti-lost alarm).
#include <windows.h>
// After <windows.h>:
#include <mmsystem.h>

#include <algorithm>
#include <optional>
#include <string>

#include "framework/dpi_awareness.h"
#include "framework/strings.h"
#include "link/core/hid_link.h"
#include "link/win32/device_removal.h"
#include "resources/resource_ids.h"
#include "ui/mainwindow/core/tray_tip.h"
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/conf_dlg.h"

namespace pv::mainwindow {

void CConfDlg::BuildTrayIcon() {
  const TrayIcon icon = TrayIconFor(m_bReceiverPresent, m_bRfLinked);
  const UINT iconId = icon == TrayIcon::Linked ? IDI_TRAY_LINKED : IDI_TRAY_UNLINKED;
  // The notification area shows small icons: load the size it draws, in
  // physical pixels. This window's system-scaled context would report the
  // 100 % size (16) on every screen, which the shell then blurs at 150 %.
  int width = 0, height = 0;
  {
    const CDpiContextScope physical(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    width = ::GetSystemMetrics(SM_CXSMICON);
    height = ::GetSystemMetrics(SM_CYSMICON);
  }
  m_trayIcon.Reset(static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, width, height, 0)));

  m_nid = {};
  m_nid.cbSize = sizeof(NOTIFYICONDATAW);
  m_nid.hWnd = m_hWnd;
  m_nid.uID = kTrayIconId;
  m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_nid.uCallbackMessage = UM_TRAY_NOTIFY;
  m_nid.hIcon = m_trayIcon.Get();

  const std::wstring tip = BuildTrayTip(LoadResString(IDS_TIP_PRODUCT), LoadResString(IDS_TIP_NO_RECEIVER),
                                        LoadResString(IDS_TIP_RF_DOWN), m_bReceiverPresent, m_bRfLinked);
  std::copy_n(tip.c_str(), std::min(tip.size() + 1, std::size(m_nid.szTip)), m_nid.szTip);
  m_nid.szTip[std::size(m_nid.szTip) - 1] = L'\0';
}

void CConfDlg::UpdateTrayIcon() {
  BuildTrayIcon();
  m_tray.Update();
}

LRESULT CConfDlg::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage) {
  if (iconId != kTrayIconId) return 1;
  if (mouseMessage == WM_LBUTTONDOWN) {
    ShowMainWindow();
  } else if (mouseMessage == WM_RBUTTONDOWN) {
    ShowTrayMenu();
  }
  return 1;
}

void CConfDlg::ShowTrayMenu() {
  CMenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_TRAY)));
  HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
  if (popup == nullptr) return;
  POINT at{};
  ::GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if our thread is in
  // the foreground while it shows.
  ::SetForegroundWindow(m_hWnd);
  ::TrackPopupMenu(popup, 0, at.x, at.y, 0, m_hWnd, nullptr);
  PostMessage(WM_NULL);
}

// The shell was restarted: the icon has to be added again.
LRESULT CConfDlg::OnTaskbarCreated() {
  BuildTrayIcon();
  m_tray.Add();
  return 0;
}

LRESULT CConfDlg::OnLinkReceiver(WPARAM present) {
  m_bReceiverPresent = present != 0;
  if (!m_bReceiverPresent) {
    m_bRfLinked = FALSE;
    m_alarm.OnReceiverGone();
  }
  UpdateTrayIcon();
  RefreshMode(m_bRfLinked ? RefreshType::kToTray : RefreshType::kInPlace);
  return 1;
}

LRESULT CConfDlg::OnLinkRf(WPARAM linked) {
  m_bRfLinked = linked != 0;
  if (m_bReceiverPresent) {
    if (m_bRfLinked) {
      m_timerPage.LoadTimerPage();
      m_alarm.OnRadioUp();
    } else {
      m_alarm.OnRadioDown();
    }
  }
  UpdateTrayIcon();
  if (m_mode != MODE_EFFECT) RefreshMode(m_bRfLinked ? RefreshType::kToTray : RefreshType::kInPlace);
  return 1;
}

// Only the receiver's removal matters here; a new receiver is found by the
// link's own polling.
LRESULT CConfDlg::OnDeviceChange(WPARAM event, LPARAM header) {
  std::optional<std::wstring> path = pv::link::win32::RemovedInterfacePath(event, header);
  // With two receivers plugged in, pulling the spare leaves the open one
  // working: only the open receiver's removal counts.
  if (!path || !m_link.RemovalConcernsOpenReceiver(path->data())) return TRUE;
  m_linkResync.OnRemovalNotice();
  m_bReceiverPresent = FALSE;
  m_bRfLinked = FALSE;
  UpdateTrayIcon();
  RefreshMode(RefreshType::kInPlace);
  return TRUE;
}

// Once a second: a link notice that never arrived (lost from a full queue)
// must not leave the tray showing a state the link left long ago.
void CConfDlg::ResyncLinkFlags() {
  const pv::link::LinkFlags shown{m_bReceiverPresent != FALSE, m_bRfLinked != FALSE};
  const pv::link::LinkSnapshot snapshot = m_link.Snapshot();
  const pv::link::LinkFlags link{snapshot.receiverPresent, snapshot.rfLinked};
  if (!m_linkResync.Look(shown, link)) return;
  // Through the notice handlers, so the page, the alarm and the tray follow
  // exactly as they would have.
  if (shown.receiverPresent != link.receiverPresent) OnLinkReceiver(link.receiverPresent ? 1 : 0);
  if ((m_bRfLinked != FALSE) != link.rfLinked) OnLinkRf(link.rfLinked ? 1 : 0);
}

void CConfDlg::StartCountdownTimer() {
  m_timerAlarm = SetTimer(TIMER_ALARM, kAlarmCountdownMs);
}

void CConfDlg::KillCountdownTimer() {
  if (m_timerAlarm != 0) KillTimer(std::exchange(m_timerAlarm, 0));
}

void CConfDlg::PlayAlarmSound() {
  const UINT sound = m_bLangZh ? IDW_ALARM_ZH : IDW_ALARM_EN;
  ::PlaySoundW(MAKEINTRESOURCEW(sound), ::GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC);
}

void CConfDlg::StopSound() {
  ::PlaySoundW(nullptr, ::GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC);
}

}  // namespace pv::mainwindow
