#include <gtest/gtest.h>

#include <string>

#include "app/core/single_instance.h"
#include "app/core/ui_language.h"

namespace pv::app::test {
namespace {

TEST(UiLanguage, OnlySimplifiedChineseSelectsTheChineseResources) {
  EXPECT_TRUE(IsChineseUi(0x0804));
  for (std::uint16_t other : {0x0404, 0x0C04, 0x1004, 0x0409, 0x0809, 0x0407, 0x0000}) {
    EXPECT_FALSE(IsChineseUi(other)) << std::hex << other;
  }
}

// A scripted session: whether the mutex is free, after how many searches
// the first copy's window appears (-1: never) and after how many waits the
// first copy has ended and given the mutex up (-1: never).
class FakeInstancePlatform final : public ISingleInstancePlatform {
 public:
  FakeInstancePlatform(bool mutexFree, int windowAfterSearches, int endsAfterWaits = -1)
      : m_mutexFree(mutexFree), m_windowAfter(windowAfterSearches), m_endsAfter(endsAfterWaits) {}
  bool ClaimFirstInstance() override { return m_mutexFree; }
  bool FindRunningInstance() override {
    const bool found = m_windowAfter >= 0 && m_searches >= m_windowAfter;
    ++m_searches;
    if (found) ++m_posts;
    return found;
  }
  bool WaitForRunningCopyToEnd(std::uint32_t ms) override {
    m_slept += ms;
    return m_endsAfter >= 0 && ++m_waits > m_endsAfter;
  }

  bool m_mutexFree;
  int m_windowAfter;
  int m_endsAfter;
  int m_waits = 0;
  int m_searches = 0;
  int m_posts = 0;
  std::uint32_t m_slept = 0;
};

struct StartCase {
  const char* name;
  bool mutexFree;
  int windowAfter;
  StartDecision decision;
  int posts;
  int endsAfter = -1;
};

class SingleInstance : public testing::TestWithParam<StartCase> {};

TEST_P(SingleInstance, MutexDecidesAndTheWindowIsOnlyForTheHandOver) {
  const StartCase& c = GetParam();
  FakeInstancePlatform platform(c.mutexFree, c.windowAfter, c.endsAfter);
  EXPECT_EQ(DecideStart(platform), c.decision);
  EXPECT_EQ(platform.m_posts, c.posts);
  EXPECT_LE(platform.m_slept, kHandOverSearchMs) << "the search is bounded";
  if (c.mutexFree) {
    EXPECT_EQ(platform.m_searches, 0) << "a foreign window with our title is never looked for";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Start, SingleInstance,
    testing::Values(
        // Alone in the session, even with a window of that title around.
        StartCase{"first_copy", true, 0, StartDecision::kRunAsFirst, 0},
        // The first copy sits in the tray.
        StartCase{"first_copy_in_the_tray", false, 0, StartDecision::kHandedOver, 1},
        // The first copy still shows its splash: its window comes 2.5 s later.
        StartCase{"first_copy_in_its_splash", false, 25, StartDecision::kHandedOver, 1},
        // The first copy never shows a window: the second still ends.
        StartCase{"first_copy_without_window", false, -1, StartDecision::kOtherCopyStillStarts, 0},
        // The first copy is ending: its window is gone, then its mutex comes
        // free and this copy runs as the first.
        StartCase{"first_copy_exiting", false, -1, StartDecision::kRunAsFirst, 0, 3},
        // Its window still answered once: the hand-over wins.
        StartCase{"first_copy_in_the_tray_then_ending", false, 0, StartDecision::kHandedOver, 1, 0}),
    [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pv::app::test
