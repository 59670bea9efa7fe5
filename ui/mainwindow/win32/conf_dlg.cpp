// CConfDlg: construction, initialisation, the message switch and the
// window's own timers. Layout and modes are in conf_dlg_layout.cpp, the tray
// and link status in conf_dlg_tray.cpp, painting in conf_dlg_paint.cpp.
#include "ui/mainwindow/win32/conf_dlg.h"

// After <windows.h>:
#include <dbt.h>

#include <commctrl.h>

#include <cstring>
#include <utility>

#include "framework/dpi_awareness.h"
#include "framework/owned_dialogs.h"
#include "framework/win32_rect.h"
#include "link/core/hid_link.h"
#include "link/core/link_messages.h"
#include "resources/resource_ids.h"
#include "ui/mainwindow/core/page_placement.h"
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/taskbar_created.h"
#include "update/win32/update_check.h"

namespace pv::mainwindow {

using pv::settings::SettingId;

CConfDlg::CConfDlg(HWND owner, BOOL langZh, pv::settings::DesktopIntegration& desktop,
                   const pv::settings::WorkFolder& workFolder, pv::link::CHidLink& link)
    : CDialog(IDD_MAIN, owner),
      m_desktop(desktop),
      m_workFolder(workFolder),
      m_link(link),
      m_bLangZh(langZh),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP))),
      m_timerPage(*this, IDC_SLIDER_BRIGHTNESS, link),
      m_settingsPage(*this, pv::settings::CRegKeys::Store(), m_effectSettings, desktop, link, m_timerPage),
      m_linkFlags(link) {
  // The pages are drawn at their pictures' pixel sizes: on a scaled screen
  // the window, its controls and the dialogs opened from it are enlarged by
  // the system (from Windows 10 version 1607 on; the process itself is
  // per-monitor aware, so earlier systems draw the page at its pixel size).
  SetThreadDpiContext(DPI_AWARENESS_CONTEXT_UNAWARE_GDISCALED);
  // The window is shown only on request; it never appears at start.
  m_showOnFirstIdle = false;
  m_effectSettings.SetObserver(&m_preview);
  m_handlers.Add(m_timerPage);
  m_handlers.Add(m_settingsPage);
  m_handlers.Add(m_tray);
}

CConfDlg::~CConfDlg() {
  // OnDestroy must run with this object alive (it removes the tray icon).
  DestroyWindow();
}

BOOL CConfDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  // The manual opens by itself on the very first start only.
  if (Load(SettingId::kFirstRun).IsOn()) {
    m_desktop.OpenHelpDocument(m_bLangZh != FALSE);
    Save(SettingId::kFirstRun, 0);
  }

  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  m_timerPage.InitControls();
  SetWindowText(kWindowTitle);  // other instances find the program by this title

  m_mode = MODE_START;
  m_screenCenter = {::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2};

  m_timerBatteryBlink = SetTimer(TIMER_BATTERY_BLINK, kBatteryBlinkPeriodMs);
  m_timerTrack = SetTimer(TIMER_TRACK_POINTER, kTrackPointerIdleMs);

  RegisterWithLink();
  const pv::link::LinkSnapshot link = m_link.Snapshot();
  m_bReceiverPresent = link.receiverPresent;
  m_bRfLinked = link.rfLinked;
  if (m_bReceiverPresent && m_bRfLinked) m_timerPage.LoadTimerPage();

  if (!m_effectInput.RegisterRawInput(m_hWnd)) {
    // Without raw input the effects cannot follow the mouse: the program ends.
    EndDialog(IDCANCEL);
    return FALSE;
  }
  m_handlers.Add(m_effectInput);
  CreateEffectWindows();

  InitLayout();

  BuildTrayIcon();
  m_tray.Attach(m_hWnd);
  m_tray.Add();  // retried until the shell takes it (at logon it may not be ready)

  ShowWindow(SW_HIDE);
  m_timerAutoHide = SetTimer(TIMER_AUTO_HIDE, kAutoHideAfterInitMs);
  return TRUE;
}

void CConfDlg::RegisterWithLink() {
  m_link.SetNotifyWindow(reinterpret_cast<std::uintptr_t>(m_hWnd));

  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  const pv::link::HidClassGuid hidGuid = m_link.HidGuid();
  static_assert(sizeof(filter.dbcc_classguid) == sizeof(hidGuid));
  std::memcpy(&filter.dbcc_classguid, &hidGuid, sizeof(filter.dbcc_classguid));
  m_deviceNotify.Reset(::RegisterDeviceNotificationW(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));

  // Key reports are ignored until 200 ms after this moment.
  m_link.ArmKeysFrom(::GetTickCount());
}

void CConfDlg::InitLayout() {
  // The black screen window is created here (black screen); a taskbar left
  // hidden by an earlier run comes back at every start.
  pv::effects::ShowTaskbar(true);
  m_timerPage.ShowControls(false);

  // The low-battery symbol is placed from the page picture's own geometry,
  // never from the template's size, which grows with the screen's scaling.
  RECT symbol{};
  m_pictures.GetRect(IDP_LOW_BATTERY, &symbol);
  m_rcBattery = ToRect(BatteryRect(kBatteryClientRight, symbol.right, symbol.bottom));

  LoadSettingsValues();
  m_settingsPage.InitControls();
  m_settingsPage.ShowControls(false);

  RECT page{};
  m_pictures.GetRect(m_bLangZh ? IDP_SETTINGS_PAGE_ZH : IDP_SETTINGS_PAGE_EN, &page);
  const PixelPoint topLeft = CentredAt({m_screenCenter.x, m_screenCenter.y}, page.right, page.bottom);
  MoveWindow(topLeft.x, topLeft.y, page.right, page.bottom, TRUE);
  CreatePreview();
}

// Every value the pages and the effects use, read once through the settings
// table (defaults, ranges and write-backs applied there): the effect sizes
// (within the screen) and the pointer option, then the page's switches and
// sliders (the pointer speed also goes to the link).
void CConfDlg::LoadSettingsValues() {
  m_effectSettings.Load(pv::effects::CEffectWindows::MaxEffectSize());
  m_settingsPage.LoadValues();
}

BOOL CConfDlg::PreTranslateMessage(MSG* msg) {
  if (msg != nullptr && m_timerPage.PreTranslateMessage(*msg)) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

LRESULT CConfDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  using namespace pv::link;
  if (msg == WM_SETCURSOR && m_bUpdateChecking && LOWORD(lp) == HTCLIENT) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));  // the check is under way
    return TRUE;
  }
  if (LRESULT result = 0; m_handlers.Offer(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 0;  // the page picture covers the whole client area
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_TIMER:
      OnTimer(wp);
      return DefaultProc(msg, wp, lp);
    case WM_ACTIVATEAPP:
      DefaultProc(msg, wp, lp);
      OnActivateApp(static_cast<BOOL>(wp));
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const LRESULT result = DefaultProc(msg, wp, lp);
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if (pos != nullptr && (pos->flags & SWP_NOMOVE) == 0) m_preview.FollowPage();
      return result;
    }
    case WM_ENDSESSION:
      // The session ends with the program: give the taskbar and pointer back first.
      if (wp != 0) {
        m_effects.RestoreDesktop();
        Quit();  // and leave as Quit does, so the tray icon goes too
      }
      return 0;
    case WM_WINDOWPOSCHANGING:
      KeepHiddenDuringShow(reinterpret_cast<WINDOWPOS*>(lp));
      return DefaultProc(msg, wp, lp);
    case WM_HELP:
      return OnHelpInfo();
    case WM_DESTROY:
      OnDestroy();
      return DefaultProc(msg, wp, lp);
    case WM_DEVICECHANGE:
      return OnDeviceChange(wp, lp);
    case WM_COMMAND:
      if (lp == 0 && LOWORD(wp) == IDM_TRAY_QUIT) {
        Quit();
        return 0;
      }
      if (lp == 0 && LOWORD(wp) == IDM_TRAY_LAUNCH) {
        ShowMainWindow();
        return 0;
      }
      break;
    case UM_TRAY_NOTIFY:
      return OnTrayNotify(wp, lp);
    case UM_SHOW_MAIN:
      ShowMainWindow();
      return 1;
    case UM_LINK_RECEIVER:
      return OnLinkReceiver(wp);
    case UM_LINK_RF:
      return OnLinkRf(wp);
    case UM_LINK_STATE_BIT:
      return 1;  // the battery symbol follows the link's flag on its own timer
    default:
      if (msg == TaskbarCreatedMessage() && msg != 0) return OnTaskbarCreated();
      break;
  }
  return CDialog::WindowProc(msg, wp, lp);
}

void CConfDlg::OnTimer(UINT_PTR id) {
  switch (id) {
    case TIMER_BATTERY_BLINK:
      ResyncLinkFlags();
      OnBatteryBlinkTick();
      break;
    case TIMER_AUTO_HIDE:
      if (m_timerAutoHide != 0) HideToTray();
      break;
    case TIMER_ALARM:
      m_alarm.OnCountdownElapsed(m_settingsPage.AntiLostOn());
      break;
    case TIMER_PREVIEW_RESTACK:
      m_preview.OnRestackTimer(SettingsPageShown());
      break;
    default:
      break;
  }
}

// The low-battery symbol blinks once a second while the remote reports a low
// battery, on the settings page only.
void CConfDlg::OnBatteryBlinkTick() {
  if (m_mode != MODE_READY) return;
  const bool low = m_link.Snapshot().lowBattery;
  const BOOL before = m_bBatteryBlink;
  if (low) {
    m_bBatteryBlink = !m_bBatteryBlink;
  } else {
    m_bBatteryBlink = FALSE;
  }
  if (before != m_bBatteryBlink) InvalidateRect(&m_rcBattery, FALSE);
}

// The window puts itself into the tray 200 ms after the user switches to
// another application, unless they come back first.
void CConfDlg::OnActivateApp(BOOL active) {
  if (active) {
    if (m_timerAutoHide != 0) KillTimer(std::exchange(m_timerAutoHide, 0));
    return;
  }
  if (m_mode == MODE_EFFECT) return;
  if (m_timerAutoHide != 0) KillTimer(m_timerAutoHide);
  m_timerAutoHide = SetTimer(TIMER_AUTO_HIDE, kAutoHideAfterDeactivationMs);
}

// F1: the manual (the page knows when it must not open).
BOOL CConfDlg::OnHelpInfo() {
  m_settingsPage.OnHelpKey();
  return TRUE;
}

// The window keeps answering while the check talks to the server; a second
// click meanwhile is ignored.
void CConfDlg::RunUpdateCheck() {
  using pv::update::win32::RunUpdateCheck;
  using pv::update::win32::UpdateCheckResult;
  if (m_bUpdateChecking || m_bQuitRequested) return;
  m_bUpdateChecking = true;
  const UpdateCheckResult result =
      RunUpdateCheck(m_hWnd, m_bLangZh != FALSE, m_workFolder, [this] { return m_bQuitRequested; });
  m_bUpdateChecking = false;
  if (result == UpdateCheckResult::kHandedOver) {
    CDialog::OnCancel();  // as Quit: the tray icon goes, then the link is stopped and the program exits
  }
}

void CConfDlg::OnDestroy() {
  // Whatever ends the program (tray Quit, an update taking over): a black
  // screen or an effect on show gives the taskbar and the pointer back.
  m_effects.RestoreDesktop();
  if (m_timerBatteryBlink != 0) KillTimer(std::exchange(m_timerBatteryBlink, 0));
  if (m_timerTrack != 0) KillTimer(std::exchange(m_timerTrack, 0));
  if (m_timerAutoHide != 0) KillTimer(std::exchange(m_timerAutoHide, 0));
  m_alarm.OnReceiverGone();  // cancels a countdown or stops the sound
  m_tray.Remove();
  m_link.SetNotifyWindow(0);
  m_deviceNotify.Reset();
}

// Ends the dialog, and with it the program. A dialog of ours still open over
// the window (the update question, the download, a notice) runs its own
// modal loop inside this one, so the end would wait behind it: it is asked
// to close first, with the answer that changes nothing: "Esc" (IDNO) where
// the dialog has it (the update question, whose plain close would open the
// browser), else cancel (the download stops and removes its partial file).
// An update check under way ends at once.
void CConfDlg::Quit() {
  m_bQuitRequested = true;
  CloseOwnedDialogs(m_hWnd);
  CDialog::OnCancel();
}

bool CConfDlg::KeepHiddenDuringShow(WINDOWPOS* pos) const {
  if (!m_bKeepHidden || pos == nullptr || (pos->flags & SWP_SHOWWINDOW) == 0) return false;
  pos->flags &= ~SWP_SHOWWINDOW;
  return true;
}

}  // namespace pv::mainwindow
