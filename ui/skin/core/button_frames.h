// Which frame a skinned button shows: normal (0), hover (1) or pressed /
// latched (2), as the mouse moves over it, leaves it and presses it. Frames a
// strip does not have are never chosen for a button that is not latched, so a
// one-frame strip always shows frame 0 and a two-frame strip has no pressed look.
#pragma once

#include <cstdint>

namespace pv::skin {

inline constexpr int kFrameNormal = 0;
inline constexpr int kFrameHover = 1;
inline constexpr int kFramePressed = 2;

enum class ButtonEvent { kHover, kLeave, kButtonDown, kButtonUp };

struct ButtonLook {
  int frame = kFrameNormal;
  bool toggledOn = false;  // a toggle button latched by its last press
  friend constexpr bool operator==(const ButtonLook&, const ButtonLook&) = default;
};

// The look after `event` on a button whose strip has `frameCount` frames;
// `toggle` buttons latch and unlatch on each press.
constexpr ButtonLook NextButtonLook(ButtonLook look, ButtonEvent event, std::uint32_t frameCount,
                                    bool toggle) {
  switch (event) {
    case ButtonEvent::kHover:
      look.frame = look.toggledOn ? kFramePressed : (frameCount > 1 ? kFrameHover : kFrameNormal);
      break;
    case ButtonEvent::kLeave:
      look.frame = frameCount <= 1 ? kFrameNormal : (look.toggledOn ? kFramePressed : kFrameNormal);
      break;
    case ButtonEvent::kButtonDown:
      look.frame = look.toggledOn ? kFrameNormal : (frameCount > 2 ? kFramePressed : kFrameNormal);
      if (toggle) look.toggledOn = !look.toggledOn;
      break;
    case ButtonEvent::kButtonUp:
      if (!look.toggledOn) look.frame = frameCount > 1 ? kFrameHover : kFrameNormal;
      break;
  }
  return look;
}

}  // namespace pv::skin
