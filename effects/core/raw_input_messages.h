// What the window that receives raw input shares with the effects: the two
// private messages that reach the raw-input rules as window messages, and the
// pointer-tracking timer's period while the mouse moves.
//
// The values are WM_USER (0x400) based and spelled out, so the platform-free
// core and the Win32 side agree without <windows.h>. Any program on the
// desktop can post them: the controller checks their parameters
// (OnRawMouseMessage, OnRawKeyMessage).
#pragma once

namespace pv::effects {

inline constexpr unsigned UM_RAW_MOUSE = 0x46A;  // wparam the mouse message, lparam unused
inline constexpr unsigned UM_RAW_KEY = 0x46B;    // wparam WM_KEYDOWN or WM_KEYUP, lparam the virtual key

// Raw mouse input sets the tracking timer to this period.
inline constexpr unsigned kTrackingActivePeriodMs = 15;

}  // namespace pv::effects
