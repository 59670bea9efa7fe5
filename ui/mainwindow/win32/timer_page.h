// CTimerPage: the presentation timer's controls on the main window's
// settings page: the on/off switch and the minutes box beside it. It owns
// both and their state. It loads them from the settings once the remote has
// been seen (resuming a timer that was running when the program ended),
// persists every change, hands it to the receiver link and switches itself
// off when the link reports that the time is up. It takes its messages
// through the main window's handler chain; the settings page's click
// dispatcher hit-tests its switch (SwitchRect, Ready) and calls OnSwitchClick.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/gdi.h"
#include "framework/message_chain.h"
#include "ui/mainwindow/core/timer_page_rules.h"
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/page_host.h"
#include "ui/skin/win32/timer_edit.h"

namespace pv::link {
class CHidLink;
}

namespace pv::mainwindow {

class CTimerPage : public IMessageHandler, private LinkTimerPort {
 public:
  // Window timer id of the hand-over retry (next to the main window's own).
  static constexpr UINT_PTR kHandOverRetryTimer = 1006;
  static constexpr UINT kHandOverRetryMs = 250;
  // Longest the window waits for the link's lock. The worker holds it only
  // to build and write one report; longer means a write is stuck.
  static constexpr std::uint32_t kLinkLockWaitMs = 200;

  // host: the window the page lies on; focusAfterEdit: the control that
  // takes the focus once a value is taken over; link: keeps the running
  // timer. Both outlive the page.
  CTimerPage(PageHost& host, int focusAfterEdit, pv::link::CHidLink& link);

  // Takes the window's minutes box (control IDC_TIMER_EDIT) over: placed in
  // client pixels, its digits sized to fill it, hidden.
  void InitControls();
  // Loads the switch and the box from the settings and resumes or stops the
  // link's timer. Called when the remote has been seen.
  void LoadTimerPage();
  // The switch was clicked.
  void OnSwitchClick();
  // Takes the box's value over (Enter, focus loss, a click elsewhere).
  LRESULT OnTimerEditDone();
  // Enter in the box: takes the value over instead of reaching the dialog.
  bool PreTranslateMessage(const MSG& msg);
  // The switch, once the timer page is loaded.
  void PaintSwitch(HDC dc);
  // The box shows while the timer is on, on the settings page only.
  void ShowControls(bool settingsPage);

  // LoadTimerPage has run: the switch is drawn and reacts.
  bool Ready() const { return m_bTimerPageReady; }
  bool On() const { return m_bTimerOn; }
  std::uint32_t DurationSeconds() const { return m_timerDuration; }
  // Client pixels; empty before LoadTimerPage.
  RECT SwitchRect() const { return m_timerSwitchRect; }
  pv::skin::CTimerEdit& Box() { return m_timerEdit; }

  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void ApplyTimerMinutes(bool force);
  enum class LinkChange { kHandOver, kNone };
  // Persists the timer and, unless told not to, hands it to the link.
  void SaveAndStartTimer(bool on, std::int64_t start, std::uint32_t seconds,
                         LinkChange change = LinkChange::kHandOver);
  void OnTimerEditChange();
  void OnTimerDue();
  void OnRetryTimer();
  void ShowBox(bool show);
  void InvalidateBox();
  void InvalidateSwitch();

  // LinkTimerPort: StartTimer under the link's lock, waiting a bounded time.
  bool TryStart(const TimerRequest& request) override;
  // Whether the link's timer runs, read under its lock (so a running expiry
  // check has finished); empty when the lock is not to be had in time.
  std::optional<bool> LinkTimerRunning();

  static std::int64_t Now();

  PageHost& m_host;
  int m_focusAfterEdit;
  pv::link::CHidLink& m_link;
  TimerHandOver m_handOver{*this};
  bool m_retryTimerRunning = false;

  bool m_bTimerPageReady = false;
  bool m_bTimerOn = false;
  std::uint32_t m_timerDuration = kDefaultTimerSeconds;
  RECT m_timerSwitchRect{};
  pv::skin::CTimerEdit m_timerEdit{UM_TIMER_EDIT_DONE};
  CFont m_timerEditFont;
};

}  // namespace pv::mainwindow
