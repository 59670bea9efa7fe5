// Window messages the receiver link posts to its notification window, and
// the typed events two of them carry.
//
// The values are WM_USER (0x400) based and private to the program; they are
// spelled out here so that the platform-free core and the Win32 side agree
// without <windows.h>. Any program on the desktop can post these numbers, so
// the receiving side decodes the parameters once (DecodeKeyMessage,
// DecodeSizeStep) and works with the typed values from there on.
#pragma once

#include <cstdint>
#include <optional>

#include "link/core/report_codec.h"

namespace pv::link {

// The remote's effect keys: wparam KeyEvent, lparam as described there.
inline constexpr std::uint32_t UM_LINK_KEYS = 0x46E;
// The presentation timer ran out (wparam 0, lparam 0).
inline constexpr std::uint32_t UM_LINK_TIMER_DUE = 0x46F;
// Radio link to the remote up (wparam 1) or down (wparam 0).
inline constexpr std::uint32_t UM_LINK_RF = 0x470;
// Receiver found and opened (wparam 1) or gone (wparam 0).
inline constexpr std::uint32_t UM_LINK_RECEIVER = 0x471;
// Remote's low-battery bit changed (wparam 1 = low, 0 = fine).
inline constexpr std::uint32_t UM_LINK_STATE_BIT = 0x472;
// Effect size step: wparam SizeStep, lparam 0.
inline constexpr std::uint32_t UM_LINK_SIZE_STEP = 0x473;

// wparam of UM_LINK_KEYS.
enum class KeyEvent : std::uintptr_t {
  kDown = 1,         // the effect key went down (or again while latched); lparam the scene
  kUp = 2,           // the effect ended; lparam a KeyRelease
  kLatch = 3,        // the remote asks to freeze the effect; lparam the scene
  kBlackScreen = 4,  // the black-screen key (lparam 1) or a click on the black screen (lparam 0)
};

// lparam of KeyEvent::kUp: what ended.
enum class KeyRelease : std::intptr_t {
  kKey = 1,    // the held key was released
  kLatch = 2,  // a latched effect was released
};

// wparam of UM_LINK_SIZE_STEP.
enum class SizeStep : std::uintptr_t {
  kLarger = 0,
  kSmaller = 1,
};

constexpr std::uintptr_t ToWParam(KeyEvent event) {
  return static_cast<std::uintptr_t>(event);
}
constexpr std::uintptr_t ToWParam(SizeStep step) {
  return static_cast<std::uintptr_t>(step);
}
constexpr std::intptr_t ToLParam(KeyRelease release) {
  return static_cast<std::intptr_t>(release);
}

// UM_LINK_KEYS as the window reads it.
struct KeyMessage {
  KeyEvent event = KeyEvent::kUp;
  // KeyEvent::kDown: the scene to show, always below kSceneCount. Not read
  // for the other events.
  std::uint8_t scene = SCENE_SPOTLIGHT;
  bool operator==(const KeyMessage&) const = default;
};

// Empty for an unknown event and for a key-down naming no scene: such a
// message does nothing.
constexpr std::optional<KeyMessage> DecodeKeyMessage(std::uintptr_t wparam, std::intptr_t lparam) {
  switch (wparam) {
    case ToWParam(KeyEvent::kDown):
      if (lparam < 0 || lparam >= kSceneCount) return std::nullopt;
      return KeyMessage{KeyEvent::kDown, static_cast<std::uint8_t>(lparam)};
    case ToWParam(KeyEvent::kUp):
    case ToWParam(KeyEvent::kLatch):
    case ToWParam(KeyEvent::kBlackScreen):
      return KeyMessage{static_cast<KeyEvent>(wparam)};
    default:
      return std::nullopt;
  }
}

// Empty for anything but the two steps.
constexpr std::optional<SizeStep> DecodeSizeStep(std::uintptr_t wparam) {
  if (wparam == ToWParam(SizeStep::kLarger)) return SizeStep::kLarger;
  if (wparam == ToWParam(SizeStep::kSmaller)) return SizeStep::kSmaller;
  return std::nullopt;
}

}  // namespace pv::link
