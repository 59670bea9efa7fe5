// TrayIconKeeper: keeps the program's icon in the notification area.
//
// Adding the icon can fail: at logon, started from the Run value, the
// shell's notification area is often not ready yet, and the shell tells
// nobody when it becomes ready ("TaskbarCreated" comes only when the shell
// restarts). A modify cannot add an icon that is missing. Without the icon
// the user has no settings and no Quit, so every failed add is retried on a
// timer, with a bounded back-off, for as long as the program runs; a failed
// modify falls back to an add. The icon's picture and tooltip are the
// caller's (the port sends what it holds at the moment of each call).
#pragma once

#include <cstdint>

namespace pv::mainwindow {

class TrayShell {
 public:
  // Shell_NotifyIcon with NIM_ADD / NIM_MODIFY / NIM_DELETE of the current
  // icon record; true when the shell took it.
  virtual bool AddIcon() = 0;
  virtual bool ModifyIcon() = 0;
  virtual void DeleteIcon() = 0;
  // A one-shot retry after `milliseconds` (replacing one that is pending),
  // and its cancellation.
  virtual void StartRetryTimer(unsigned milliseconds) = 0;
  virtual void StopRetryTimer() = 0;

 protected:
  ~TrayShell() = default;
};

// Back-off of the retries: the first soon, then doubling up to the bound.
inline constexpr unsigned kTrayRetryFirstMs = 500;
inline constexpr unsigned kTrayRetryLongestMs = 8000;

class TrayIconKeeper {
 public:
  explicit TrayIconKeeper(TrayShell& shell) : m_shell(shell) {}

  // Adds the icon, or starts retrying; also after the shell restarted, when
  // the icon is gone whatever we believed.
  void Add();
  // The picture or tooltip changed: a modify, or an add when the icon is
  // missing (the add then carries the current picture and tooltip).
  void Update();
  void OnRetryTimer();
  // Deletes the icon and stops retrying.
  void Remove();

  bool Shown() const { return m_shown; }
  bool Retrying() const { return m_retryMs != 0; }

 private:
  void TryAdd();
  void ScheduleRetry();

  TrayShell& m_shell;
  bool m_shown = false;
  unsigned m_retryMs = 0;  // the pending retry's delay, 0 when none is pending
};

}  // namespace pv::mainwindow
