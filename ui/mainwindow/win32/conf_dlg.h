// CConfDlg: the program's one main window. A borderless, skinned dialog
// (template 147) that runs modally for the program's whole life, hidden in the
// notification area most of the time. It is the receiver link's notification
// window, owns the tray icon, and shows one of two pages on demand: the
// settings page while the remote is linked, the "plug in the receiver" page
// otherwise.
//
// The window routes: its pages (settings page, timer page), the raw-input
// reader and the tray icon take their messages from its handler chain and
// own their state; the window keeps the page mode and the link state, lays
// the pages out and is the effect controller's host.
#pragma once

#include <windows.h>
// After <windows.h>:
#include <shellapi.h>

#include <cstdint>

#include "effects/core/effect_controller.h"
#include "effects/core/effect_ports.h"
#include "effects/core/effect_types.h"
#include "effects/win32/effect_input.h"
#include "effects/win32/effect_windows.h"
#include "effects/win32/link_effect_flags.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "framework/message_chain.h"
#include "framework/user_handles.h"
#include "link/core/link_flag_resync.h"
#include "settings/core/desktop_integration.h"
#include "settings/core/work_folder.h"
#include "settings/win32/reg_keys.h"
#include "ui/mainwindow/core/anti_lost_alarm.h"
#include "ui/mainwindow/core/effect_settings_model.h"
#include "ui/mainwindow/core/page_layout.h"
#include "ui/mainwindow/core/page_mode.h"
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/page_host.h"
#include "ui/mainwindow/win32/page_preview.h"
#include "ui/mainwindow/win32/settings_page.h"
#include "ui/mainwindow/win32/timer_page.h"
#include "ui/mainwindow/win32/tray_icon.h"
#include "ui/skin/win32/picture_cache.h"

namespace pv::link {
class CHidLink;
}

namespace pv::mainwindow {

class CConfDlg : public CDialog,
                 public pv::settings::CRegKeys,
                 private PageHost,
                 private AlarmOutputs,
                 private pv::effects::EffectHost,
                 private pv::effects::PreviewOwner {
 public:
  // desktop: the help document and autostart; workFolder: where updates
  // download to; link: the receiver link, whose notification window this is.
  // All of them outlive the window.
  CConfDlg(HWND owner, BOOL langZh, pv::settings::DesktopIntegration& desktop,
           const pv::settings::WorkFolder& workFolder, pv::link::CHidLink& link);
  ~CConfDlg() override;

  // Shows the window on the page that fits the link state and brings it to
  // the front (tray click, tray menu, a second start of the program).
  void ShowMainWindow();

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}  // Enter never closes the window
  void OnCancel() override;
  // Enter in the minutes box takes its value over (the timer page).
  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  using PageMode = PageMode;

  // PageHost: what the pages reach of the window.
  CWnd& Window() override { return *this; }
  PageMode Mode() const override { return m_mode; }
  pv::skin::CPictureCache& Pictures() override { return m_pictures; }
  bool LangZh() const override { return m_bLangZh != FALSE; }
  // The "Update" link: the online update. When the updater has taken over,
  // the window ends as on Quit.
  void RunUpdateCheck() override;

  // Initialisation.
  void RegisterWithLink();
  void InitLayout();
  void LoadSettingsValues();

  // The program's end (tray Quit, end of the session).
  void Quit();

  // Modes and layout.
  void RefreshMode(RefreshType type);
  void ApplyLayout();
  void HideToTray() override;  // also the effect controller's (EffectHost)
  void PlaceWindow(const RECT& screenRect);

  // Tray icon and link status.
  void BuildTrayIcon();
  void UpdateTrayIcon();
  LRESULT OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);
  void ShowTrayMenu();
  LRESULT OnTaskbarCreated();
  LRESULT OnLinkReceiver(WPARAM present);
  LRESULT OnLinkRf(WPARAM linked);
  LRESULT OnDeviceChange(WPARAM event, LPARAM header);
  void ResyncLinkFlags();

  // AlarmOutputs: the alarm's timer and sound.
  void StartCountdownTimer() override;
  void KillCountdownTimer() override;
  void PlayAlarmSound() override;
  void StopSound() override;

  // Effects (conf_dlg_effects.cpp): the overlay windows, the settings
  // page's preview, and the main window as the effect controller sees it.
  void CreateEffectWindows();
  void CreatePreview();
  void LayOutPreview();
  bool SettingsPageShown();
  bool InEffectMode() override;
  void EnterEffectMode() override;
  bool MainWindowShown() override;
  bool PointerOverHelpLink() override;
  bool RfLinked() override;
  void SetTrackingPeriod(unsigned milliseconds) override;
  void OnPreviewCancel() override;

  // Messages.
  void OnPaint();
  void DrawBackground(HDC dc);
  void OnTimer(UINT_PTR id);
  void OnBatteryBlinkTick();
  void OnActivateApp(BOOL active);
  BOOL OnHelpInfo();
  void OnDestroy();
  bool KeepHiddenDuringShow(WINDOWPOS* pos) const;

  pv::settings::DesktopIntegration& m_desktop;
  const pv::settings::WorkFolder& m_workFolder;
  pv::link::CHidLink& m_link;
  BOOL m_bLangZh;
  HICON m_hIcon;  // shared resource icon; not destroyed

  BOOL m_bBatteryBlink = FALSE;

  PageMode m_mode = MODE_START;
  UINT m_bgImageId = 0;
  RECT m_rcBattery{};
  POINT m_screenCenter{};

  // Brightness, effect sizes, laser colour and the show-pointer option: the
  // values the effects are drawn with (the effect controller reads them, its
  // size keys change the sizes, the settings page changes the rest).
  EffectSettingsModel m_effectSettings{pv::settings::CRegKeys::Store()};

  // Every skin picture the pages draw, decoded once.
  pv::skin::CPictureCache m_pictures;
  // The timer's switch and minutes box, and the settings page they lie on
  // (switches, sliders, click regions, dragging).
  CTimerPage m_timerPage;
  CSettingsPage m_settingsPage;

  // Link state as last reported by the link.
  BOOL m_bReceiverPresent = FALSE;
  BOOL m_bRfLinked = FALSE;

  AntiLostAlarm m_alarm{*this};
  pv::link::LinkFlagResync m_linkResync;

  // The overlay windows and the effect rules over them.
  pv::effects::CEffectWindows m_effectWindows;
  pv::effects::CLinkEffectFlags m_linkFlags;
  pv::effects::EffectController m_effects{m_effectWindows, *this, m_linkFlags, m_effectSettings};
  // The settings page's preview of the spotlight.
  CPagePreview m_preview{*this, m_effectWindows.Preview(), m_effectWindows.Composition(), m_effectSettings};
  // Raw input, the link's effect messages and the tracking timer, for m_effects.
  pv::effects::CEffectInput m_effectInput{m_effects, TIMER_TRACK_POINTER};

  // Collaborators (pages, tray icon, raw input) that take their messages
  // before the window's own switch.
  CMessageChain m_handlers;

  UINT_PTR m_timerAutoHide = 0;
  UINT_PTR m_timerBatteryBlink = 0;
  UINT_PTR m_timerAlarm = 0;
  UINT_PTR m_timerTrack = 0;

  NOTIFYICONDATAW m_nid{};
  CIcon m_trayIcon;
  // Keeps m_nid's icon in the notification area (retries a refused add).
  CTrayIcon m_tray{m_nid};
  CDevNotify m_deviceNotify;

  // While set, the window refuses to become visible: from creation until it
  // has been put into the tray, so the program starts without a flash of its
  // window, and around minimising a hidden window.
  bool m_bKeepHidden = true;
  // An update check runs (its wait handles this window's messages).
  bool m_bUpdateChecking = false;
  // Quit or the end of the session: a running update check ends at once.
  bool m_bQuitRequested = false;
};

}  // namespace pv::mainwindow
