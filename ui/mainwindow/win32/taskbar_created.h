// The shell's "TaskbarCreated" message: broadcast when the taskbar is
// (re)created, for instance after Explorer restarted; tray icons must then be
// added again.
#pragma once

#include <windows.h>

namespace pv::mainwindow {

// Registered on first use; 0 if registration failed.
inline UINT TaskbarCreatedMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace pv::mainwindow
