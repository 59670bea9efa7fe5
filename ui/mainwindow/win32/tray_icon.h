// CTrayIcon: the main window's icon in the notification area, kept there by
// TrayIconKeeper (ui/mainwindow/core/tray_icon_keeper.h): a failed add is
// retried on the window's TIMER_TRAY_RETRY, a failed modify becomes an add.
// It sends the icon record the window fills (m_nid) as it is at each call,
// takes TIMER_TRAY_RETRY as a message handler and needs the window attached
// before its first Add.
#pragma once

#include <windows.h>
// After <windows.h>:
#include <shellapi.h>

#include <functional>
#include <utility>

#include "framework/message_chain.h"
#include "ui/mainwindow/core/tray_icon_keeper.h"

namespace pv::mainwindow {

class CTrayIcon : public IMessageHandler, private TrayShell {
 public:
  // The shell's Shell_NotifyIconW; tests put a failing one in its place.
  using NotifyFn = std::function<BOOL(DWORD message, PNOTIFYICONDATAW record)>;

  explicit CTrayIcon(NOTIFYICONDATAW& record, NotifyFn notify = &::Shell_NotifyIconW)
      : m_record(record), m_notify(std::move(notify)) {}
  ~CTrayIcon() = default;
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // The window whose timer runs the retries.
  void Attach(HWND window) { m_window = window; }

  void Add() { m_keeper.Add(); }
  void Update() { m_keeper.Update(); }
  void Remove() { m_keeper.Remove(); }
  bool Shown() const { return m_keeper.Shown(); }

  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  // TrayShell
  bool AddIcon() override;
  bool ModifyIcon() override;
  void DeleteIcon() override;
  void StartRetryTimer(unsigned milliseconds) override;
  void StopRetryTimer() override;

  NOTIFYICONDATAW& m_record;
  NotifyFn m_notify;
  HWND m_window = nullptr;
  TrayIconKeeper m_keeper{*this};
};

}  // namespace pv::mainwindow
