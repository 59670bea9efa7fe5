// Window messages the receiver link posts to its notification window.
//
// The values are WM_USER (0x400) based and private to the program; they are
// spelled out here so that the platform-free core and the Win32 side agree
// without <windows.h>.
#pragma once

#include <cstdint>

namespace pv::link {

// wparam 1 = effect key down (lparam scene), 2 = released (lparam 1) or a
// latched effect released (lparam 2), 3 = latch request (lparam scene),
// 4 = black-screen key (lparam 1).
inline constexpr std::uint32_t UM_LINK_KEYS = 0x46E;
// The presentation timer ran out (wparam 0, lparam 0).
inline constexpr std::uint32_t UM_LINK_TIMER_DUE = 0x46F;
// Radio link to the remote up (wparam 1) or down (wparam 0).
inline constexpr std::uint32_t UM_LINK_RF = 0x470;
// Receiver found and opened (wparam 1) or gone (wparam 0).
inline constexpr std::uint32_t UM_LINK_RECEIVER = 0x471;
// Remote's low-battery bit changed (wparam 1 = low, 0 = fine).
inline constexpr std::uint32_t UM_LINK_STATE_BIT = 0x472;
// Effect size step: wparam 0 = larger, 1 = smaller.
inline constexpr std::uint32_t UM_LINK_SIZE_STEP = 0x473;

// wparam values of UM_LINK_KEYS.
inline constexpr std::uintptr_t KEYS_DOWN = 1;
inline constexpr std::uintptr_t KEYS_UP = 2;
inline constexpr std::uintptr_t KEYS_LATCH = 3;
inline constexpr std::uintptr_t KEYS_BLACK_SCREEN = 4;

}  // namespace pv::link
