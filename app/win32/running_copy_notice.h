// The second copy's notice "The program is running", shown in front, and the
// hand-over to the running copy made once the notice is up. Windows lets
// only the process the user just started bring a window to the front: the
// notice takes the foreground first, on top of every window, then lends that
// right to the running copy and asks it to show its main window, which then
// comes in front of the other applications' windows with the notice still
// above it. Made the other way round, the notice could open behind the
// running copy's window, or take the foreground from it again (and the main
// window puts itself into the tray when its application loses the
// foreground).
#pragma once

#include <windows.h>

#include <string>

namespace pv::app {

// Shows the notice (OK only, caption: the program's title) and sends the
// show message to `running` once the notice is active; at the latest when
// it closes.
void ShowNoticeAndHandOver(HWND running, UINT showMessage, const std::wstring& text,
                           const std::wstring& caption);

}  // namespace pv::app
