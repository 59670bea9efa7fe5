// Decoding the parameters of UM_LINK_KEYS and UM_LINK_SIZE_STEP, which any
// program on the desktop can post: only what the link itself posts decodes.
#include "link/core/link_messages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace pv::link::test {
namespace {

struct KeysCase {
  const char* what;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  std::optional<KeyMessage> expected;
};

TEST(LinkKeyMessages, OnlyKnownEventsAndSceneNamingKeyDownsDecode) {
  const KeysCase cases[] = {
      {"key down, spotlight", 1, 0, KeyMessage{KeyEvent::kDown, SCENE_SPOTLIGHT}},
      {"key down, magnifier", 1, 1, KeyMessage{KeyEvent::kDown, SCENE_MAGNIFIER}},
      {"key down, circle", 1, 2, KeyMessage{KeyEvent::kDown, SCENE_CIRCLE}},
      {"key down, scene 3", 1, 3, std::nullopt},
      {"key down, scene 255", 1, 255, std::nullopt},
      {"key down, negative scene", 1, -1, std::nullopt},
      {"key down, huge scene", 1, INTPTR_MIN, std::nullopt},
      {"key down, scene in the high bits", 1, std::intptr_t{1} << 32, std::nullopt},
      {"key released", 2, 1, KeyMessage{KeyEvent::kUp}},
      {"latched effect released", 2, 2, KeyMessage{KeyEvent::kUp}},
      {"release with any lparam", 2, 77, KeyMessage{KeyEvent::kUp}},
      {"latch request", 3, 1, KeyMessage{KeyEvent::kLatch}},
      {"black-screen key", 4, 1, KeyMessage{KeyEvent::kBlackScreen}},
      {"click on the black screen", 4, 0, KeyMessage{KeyEvent::kBlackScreen}},
      {"event 0", 0, 0, std::nullopt},
      {"event 5", 5, 0, std::nullopt},
      {"event in the high bits", (std::uintptr_t{1} << 32) | 1, 0, std::nullopt},
      {"a huge event", UINTPTR_MAX, 1, std::nullopt},
  };
  for (const KeysCase& c : cases) {
    EXPECT_EQ(DecodeKeyMessage(c.wparam, c.lparam), c.expected) << c.what;
  }
}

TEST(LinkKeyMessages, WhatTheLinkPostsDecodesToWhatItMeant) {
  for (KeyEvent event : {KeyEvent::kDown, KeyEvent::kUp, KeyEvent::kLatch, KeyEvent::kBlackScreen}) {
    const auto decoded = DecodeKeyMessage(ToWParam(event), SCENE_CIRCLE);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->event, event);
  }
  EXPECT_EQ(DecodeKeyMessage(ToWParam(KeyEvent::kUp), ToLParam(KeyRelease::kLatch)),
            KeyMessage{KeyEvent::kUp});
}

TEST(LinkSizeSteps, OnlyTheTwoStepsDecode) {
  EXPECT_EQ(DecodeSizeStep(0), SizeStep::kLarger);
  EXPECT_EQ(DecodeSizeStep(1), SizeStep::kSmaller);
  EXPECT_EQ(DecodeSizeStep(ToWParam(SizeStep::kSmaller)), SizeStep::kSmaller);
  for (std::uintptr_t other : {std::uintptr_t{2}, std::uintptr_t{1} << 32, UINTPTR_MAX}) {
    EXPECT_EQ(DecodeSizeStep(other), std::nullopt) << other;
  }
}

}  // namespace
}  // namespace pv::link::test
