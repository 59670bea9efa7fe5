// Private window messages and timer ids of the main window. The link's own
// messages (UM_LINK_*) are declared with the link, the raw-input ones
// (UM_RAW_*) with the effects.
#pragma once

#include "effects/core/raw_input_messages.h"

namespace pv::mainwindow {

// Numeric value of the platform's WM_USER, so this header needs no <windows.h>.
inline constexpr unsigned kWmUser = 0x0400;

inline constexpr unsigned UM_TRAY_NOTIFY = kWmUser + 0x64;  // 0x464: tray icon callback
inline constexpr unsigned UM_SHOW_MAIN = kWmUser + 0x65;    // 0x465: posted by a second instance
// The main window's title and window class (a dialog's): a second copy of the
// program posts UM_SHOW_MAIN to the window that has both.
inline constexpr wchar_t kWindowTitle[] = L"KORVEL_PRESENTER";
inline constexpr wchar_t kWindowClass[] = L"#32770";
inline constexpr unsigned UM_TIMER_EDIT_DONE = kWmUser + 0x66;  // 0x466: minutes box lost the focus
// UM_RAW_MOUSE 0x46A and UM_RAW_KEY 0x46B: the effects' raw-input messages.
using pv::effects::UM_RAW_KEY;
using pv::effects::UM_RAW_MOUSE;

// Timers of the main window: SetTimer ids and their periods in milliseconds.
inline constexpr unsigned TIMER_BATTERY_BLINK = 1000;
inline constexpr unsigned TIMER_AUTO_HIDE = 1003;
inline constexpr unsigned TIMER_ALARM = 1004;
inline constexpr unsigned TIMER_TRACK_POINTER = 1005;
// One-shot retry of a tray icon add the shell refused (its period is the
// tray keeper's back-off).
inline constexpr unsigned TIMER_TRAY_RETRY = 1007;  // 1006: the timer page's hand-over retry
// One-shot, a moment after the page showed: the preview is placed above the
// page once more, after the display has finished raising the page.
inline constexpr unsigned TIMER_PREVIEW_RESTACK = 1008;
inline constexpr unsigned kPreviewRestackMs = 150;

inline constexpr unsigned kBatteryBlinkPeriodMs = 1000;
inline constexpr unsigned kAutoHideAfterInitMs = 100;
inline constexpr unsigned kAutoHideAfterDeactivationMs = 200;
inline constexpr unsigned kAlarmCountdownMs = 20000;
inline constexpr unsigned kTrackPointerIdleMs = 20;
// Raw mouse input speeds the tracking up (the effects' rule).
inline constexpr unsigned kTrackPointerActiveMs = pv::effects::kTrackingActivePeriodMs;

// The tray icon's id (also the application icon's resource id).
inline constexpr unsigned kTrayIconId = 128;

}  // namespace pv::mainwindow
