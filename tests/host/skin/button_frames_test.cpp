#include "ui/skin/core/button_frames.h"

#include <gtest/gtest.h>

namespace pv::skin::test {
namespace {

using E = ButtonEvent;

// Plays events on a button that is not a toggle and returns the frames shown.
std::vector<int> Frames(std::uint32_t frameCount, std::initializer_list<E> events) {
  ButtonLook look;
  std::vector<int> frames;
  for (E e : events) {
    look = NextButtonLook(look, e, frameCount, false);
    frames.push_back(look.frame);
  }
  return frames;
}

TEST(ButtonFrames, HoverPressReleaseLeaveForOneTwoAndThreeFrameStrips) {
  const auto sequence = {E::kHover, E::kButtonDown, E::kButtonUp, E::kLeave};
  // One frame: never anything but 0.
  EXPECT_EQ(Frames(1, sequence), (std::vector<int>{0, 0, 0, 0}));
  // Two frames: hover, no pressed look (0 while down), hover again after release.
  EXPECT_EQ(Frames(2, sequence), (std::vector<int>{1, 0, 1, 0}));
  // Three frames (the slider thumb): hover, pressed, hover, normal.
  EXPECT_EQ(Frames(3, sequence), (std::vector<int>{1, 2, 1, 0}));
  // No strip at all counts as no frames.
  EXPECT_EQ(Frames(0, sequence), (std::vector<int>{0, 0, 0, 0}));
}

TEST(ButtonFrames, PressWithoutHoverAndReleaseThatStartedElsewhere) {
  // A press before any hover notification still shows pressed; a button-up
  // whose press started elsewhere shows hover.
  EXPECT_EQ(Frames(3, {E::kButtonDown}), (std::vector<int>{2}));
  EXPECT_EQ(Frames(3, {E::kButtonUp}), (std::vector<int>{1}));
  // Leaving while pressed goes back to normal.
  EXPECT_EQ(Frames(3, {E::kHover, E::kButtonDown, E::kLeave}), (std::vector<int>{1, 2, 0}));
}

TEST(ButtonFrames, ToggleLatchesOnPressAndUnlatchesOnTheNext) {
  ButtonLook look;
  const auto step = [&](E e) { return look = NextButtonLook(look, e, 3, true); };
  EXPECT_EQ(step(E::kButtonDown), (ButtonLook{2, true}));
  EXPECT_EQ(step(E::kButtonUp), (ButtonLook{2, true}));  // stays latched
  EXPECT_EQ(step(E::kHover), (ButtonLook{2, true}));
  EXPECT_EQ(step(E::kLeave), (ButtonLook{2, true}));
  EXPECT_EQ(step(E::kButtonDown), (ButtonLook{0, false}));
  EXPECT_EQ(step(E::kButtonUp), (ButtonLook{1, false}));
  // A latched toggle on a one-frame strip shows 0 on leave.
  EXPECT_EQ(NextButtonLook({2, true}, E::kLeave, 1, true).frame, 0);
}

}  // namespace
}  // namespace pv::skin::test
