// CTimerPage: the presentation timer's controls on the main window's
// settings page: the on/off switch and the minutes box beside it. It loads
// them from the settings once the remote has been seen (resuming a timer that
// was running when the program ended), persists every change, hands it to
// the receiver link and switches itself off when the link reports that the
// time is up. It takes its messages through the main window's handler chain.
//
// The state it works on (ready, on, duration, the switch's rectangle) stays
// in the main window, whose painting, layout and click dispatch read it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/message_chain.h"
#include "framework/wnd.h"
#include "ui/mainwindow/core/page_mode.h"
#include "ui/mainwindow/core/timer_page_rules.h"
#include "ui/skin/win32/timer_edit.h"

namespace pv::link {
class CHidLink;
}

// The main window's members the timer page reads and writes.
struct TimerPageState {
  BOOL& ready;                           // LoadTimerPage has run: the switch is drawn and reacts
  BOOL& on;                              // the switch
  std::uint32_t& duration;               // seconds
  RECT& switchRect;                      // client pixels
  const pv::mainwindow::PageMode& mode;  // the box shows on the settings page only
};

class CTimerPage : public IMessageHandler, private pv::mainwindow::LinkTimerPort {
 public:
  // Window timer id of the hand-over retry (next to the main window's own).
  static constexpr UINT_PTR kHandOverRetryTimer = 1006;
  static constexpr UINT kHandOverRetryMs = 250;
  // Longest the window waits for the link's lock. The worker holds it only
  // to build and write one report; longer means a write is stuck.
  static constexpr std::uint32_t kLinkLockWaitMs = 200;

  // dialog: the main window; edit: its minutes box; focusAfterEdit: the
  // control that takes the focus once a value is taken over; link: keeps the
  // running timer. All of them outlive the page.
  CTimerPage(CWnd& dialog, CTimerEdit& edit, TimerPageState state, int focusAfterEdit,
             pv::link::CHidLink& link);

  // Loads the switch and the box from the settings and resumes or stops the
  // link's timer. Called when the remote has been seen.
  void LoadTimerPage();
  // The switch was clicked.
  void OnSwitchClick();
  // Takes the box's value over (Enter, focus loss, a click elsewhere).
  LRESULT OnTimerEditDone();
  // Enter in the box: takes the value over instead of reaching the dialog.
  bool PreTranslateMessage(const MSG& msg);
  void PaintSwitch(HDC dc) const;

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
  bool TryStart(const pv::mainwindow::TimerRequest& request) override;
  // Whether the link's timer runs, read under its lock (so a running expiry
  // check has finished); empty when the lock is not to be had in time.
  std::optional<bool> LinkTimerRunning();

  static std::int64_t Now();

  CWnd& m_dialog;
  CTimerEdit& m_edit;
  TimerPageState m_state;
  int m_focusAfterEdit;
  pv::link::CHidLink& m_link;
  pv::mainwindow::TimerHandOver m_handOver{*this};
  bool m_retryTimerRunning = false;
};
