// Key-status reports turned into UM_LINK_* messages: the worked sequences.
#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "link/core/hid_link.h"
#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

using Messages = std::vector<Message>;

constexpr Message Keys(std::uintptr_t w, std::intptr_t l) {
  return {UM_LINK_KEYS, w, l};
}
constexpr Message Size(std::uintptr_t w) {
  return {UM_LINK_SIZE_STEP, w, 0};
}

// One report of a sequence: what arrives, what the UI does before it, and
// what must be posted and left behind.
struct Step {
  Bytes report;
  Messages expected;
  int sceneAfter = -1;       // -1: not checked
  bool latchBefore = false;  // the effect controller latches before this report
};

struct Sequence {
  const char* name;
  std::uint8_t initialScene;
  bool blackScreen;
  std::vector<Step> steps;
};

// The first accepted report also brings the radio link up.
Messages WithoutRf(Messages messages) {
  std::erase_if(messages, [](const Message& m) { return m.message == UM_LINK_RF; });
  return messages;
}

void PrintTo(const Sequence& s, std::ostream* out) {
  *out << s.name;
}

class LinkStatusSequences : public testing::TestWithParam<Sequence> {};

TEST_P(LinkStatusSequences, PostExactlyTheExpectedEvents) {
  const Sequence& sequence = GetParam();
  LinkRig rig;
  rig.worker.m_scene = sequence.initialScene;
  rig.worker.m_bBlackScreen = sequence.blackScreen ? 1 : 0;
  rig.Connect();
  for (std::size_t i = 0; i < sequence.steps.size(); ++i) {
    const Step& step = sequence.steps[i];
    if (step.latchBefore) rig.worker.m_bEffectLatched = 1;
    EXPECT_EQ(WithoutRf(rig.Feed(step.report)), step.expected) << "step " << i;
    if (step.sceneAfter >= 0) {
      EXPECT_EQ(rig.worker.m_scene, step.sceneAfter) << "step " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Worked, LinkStatusSequences,
    testing::Values(
        Sequence{"effect_latch_release",
                 0,
                 false,
                 {{MakeStatus(0x01), {Keys(1, 0)}},
                  {MakeStatus(0x01), {}},
                  {MakeStatus(0x08), {Keys(3, 0)}},
                  {MakeStatus(0x08), {}, -1, true},
                  {MakeStatus(0x01), {Keys(1, 0)}},
                  {MakeStatus(0x00), {Keys(2, 1)}}}},
        Sequence{"effect_and_latch_together_posts_latch_only",
                 1,
                 false,
                 {{MakeStatus(0x09), {Keys(3, 1)}}, {MakeStatus(0x00), {}}}},
        Sequence{"latched_effect_released",
                 0,
                 false,
                 {{MakeStatus(0x08), {Keys(3, 0)}}, {MakeStatus(0x00), {Keys(2, 2)}, -1, true}}},
        Sequence{"scene_key_pressed_twice",
                 0,
                 false,
                 {{MakeStatus(0x02), {}, 1}, {MakeStatus(0x00), {}, 1}, {MakeStatus(0x02), {}, 2}}},
        Sequence{"scene_key_repeated_counts_once",
                 2,
                 false,
                 {{MakeStatus(0x02), {}, 0}, {MakeStatus(0x02), {}, 0}}},
        Sequence{"scene_then_effect_carries_new_scene",
                 0,
                 false,
                 {{MakeStatus(0x03), {Keys(1, 1)}, 1}, {MakeStatus(0x01), {}, 1}, {MakeStatus(0x03), {}, 2}}},
        Sequence{
            "size_steps_up_wins",
            0,
            false,
            {{MakeStatus(0x40), {Size(0)}}, {MakeStatus(0x80), {Size(1)}}, {MakeStatus(0xC0), {Size(0)}}}},
        Sequence{"black_screen_ignores_keys_not_commands",
                 0,
                 true,
                 {{MakeStatus(0x03), {}, 0}, {MakeBlackScreen(), {Keys(4, 1)}, 0}}},
        Sequence{"black_screen_key_ends_held_effect",
                 0,
                 false,
                 {{MakeStatus(0x01), {Keys(1, 0)}}, {MakeBlackScreen(), {Keys(2, 1), Keys(4, 1)}}}},
        Sequence{
            "black_screen_key_ends_latched_effect",
            0,
            false,
            {{MakeStatus(0x08), {Keys(3, 0)}}, {MakeBlackScreen(), {Keys(2, 2), Keys(4, 1)}, -1, true}}}),
    [](const testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

TEST(LinkStatusEvents, SceneStepIsPersistedEachTime) {
  LinkRig rig;
  rig.Connect();
  rig.Feed(MakeStatus(0x02));
  rig.Feed(MakeStatus(0x00));
  rig.Feed(MakeStatus(0x02));
  EXPECT_EQ(rig.scenes.Writes(), 2);
  EXPECT_EQ(rig.scenes.Value(), 2u);
}

TEST(LinkStatusEvents, IgnoredUntilArmedThenFirstStatusAlwaysActs) {
  LinkRig rig;
  rig.worker.m_armTick = 0;
  rig.Connect();
  EXPECT_EQ(WithoutRf(rig.Feed(MakeStatus(0x01))), Messages{}) << "main window not initialised";

  rig.worker.m_armTick = rig.clock.TickCount();
  EXPECT_EQ(rig.Feed(MakeStatus(0x01)), Messages{}) << "within 200 ms of initialisation";
  EXPECT_EQ(rig.worker.m_bArmed, 0);

  rig.clock.Advance(200);
  // The same status as before, but the first after arming counts as a change.
  EXPECT_EQ(rig.Feed(MakeStatus(0x01)), (Messages{Keys(1, 0)}));
}

TEST(LinkStatusEvents, ArmingWindowSurvivesTickWraparound) {
  LinkRig rig;
  rig.clock.m_tick = 0xFFFFFF00u;
  rig.worker.m_armTick = 0xFFFFFF00u;
  rig.Connect();
  rig.clock.m_tick = 0x00000010u;  // 272 ms later, across the wrap
  EXPECT_EQ(WithoutRf(rig.Feed(MakeStatus(0x01))), (Messages{Keys(1, 0)}));
}

TEST(LinkStatusEvents, LowBatteryBitPostedOnChangeOnly) {
  LinkRig rig;
  rig.Connect();
  EXPECT_EQ(WithoutRf(rig.Feed(MakeStatus(0x10))), (Messages{{UM_LINK_STATE_BIT, 1, 0}}));
  EXPECT_EQ(rig.Feed(MakeStatus(0x11)), (Messages{Keys(1, 0)}));
  EXPECT_TRUE(rig.link.Snapshot().lowBattery);
  EXPECT_EQ(rig.Feed(MakeStatus(0x00)), (Messages{Keys(2, 1), {UM_LINK_STATE_BIT, 0, 0}}));
}

TEST(LinkStatusEvents, NothingPostedWithoutWindowButFlagsStillChange) {
  LinkRig rig;
  rig.worker.m_hNotifyWnd = 0;
  rig.Connect();
  rig.Feed(MakeStatus(0x03));
  EXPECT_TRUE(rig.sink.m_messages.empty());
  EXPECT_EQ(rig.worker.m_bKeyDown, 1);
  EXPECT_EQ(rig.worker.m_scene, 1);
  EXPECT_TRUE(rig.link.Snapshot().rfLinked);
}

TEST(LinkStatusEvents, MessagesGoToTheNotificationWindow) {
  LinkRig rig;
  rig.Connect();
  rig.Feed(MakeStatus(0x01));
  ASSERT_FALSE(rig.sink.m_windows.empty());
  for (auto window : rig.sink.m_windows) EXPECT_EQ(window, 0x1234u);
}

}  // namespace
}  // namespace pv::link::test
