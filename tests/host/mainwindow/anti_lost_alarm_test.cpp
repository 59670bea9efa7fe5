// The anti-lost alarm driven through time by a fake one-shot timer.
#include "ui/mainwindow/core/anti_lost_alarm.h"

#include <gtest/gtest.h>

#include <optional>

#include "ui/mainwindow/core/window_messages.h"

namespace pv::mainwindow::test {
namespace {

// A window's timer and sound, with a clock the test moves forward.
class FakeWindow : public AlarmOutputs {
 public:
  void StartCountdownTimer() override { dueAtMs = nowMs + kAlarmCountdownMs; }
  void KillCountdownTimer() override { dueAtMs.reset(); }
  void PlayAlarmSound() override {
    ++soundsStarted;
    soundPlaying = true;
  }
  void StopSound() override { soundPlaying = false; }

  // Moves time on and delivers the timer tick when it falls due.
  void Advance(unsigned ms, AntiLostAlarm& alarm, bool antiLostEnabled) {
    const unsigned until = nowMs + ms;
    if (dueAtMs && *dueAtMs <= until) {
      nowMs = *dueAtMs;
      alarm.OnCountdownElapsed(antiLostEnabled);
    }
    nowMs = until;
  }

  unsigned nowMs = 0;
  std::optional<unsigned> dueAtMs;
  int soundsStarted = 0;
  bool soundPlaying = false;
};

class AntiLostAlarmTest : public ::testing::Test {
 protected:
  FakeWindow window;
  AntiLostAlarm alarm{window};
};

TEST_F(AntiLostAlarmTest, RemoteBackWithin19SecondsSoundsNothing) {
  alarm.OnRadioUp();
  alarm.OnRadioDown();
  window.Advance(19000, alarm, true);
  alarm.OnRadioUp();
  window.Advance(60000, alarm, true);
  EXPECT_EQ(window.soundsStarted, 0);
  EXPECT_TRUE(alarm.armed());
}

TEST_F(AntiLostAlarmTest, TwentySecondsAwaySoundsOnceAndReturnCutsItOff) {
  alarm.OnRadioUp();
  alarm.OnRadioDown();
  window.Advance(19999, alarm, true);
  EXPECT_EQ(window.soundsStarted, 0);
  window.Advance(1, alarm, true);
  EXPECT_EQ(window.soundsStarted, 1);
  EXPECT_TRUE(window.soundPlaying);
  EXPECT_FALSE(window.dueAtMs.has_value()) << "the alarm is a one-shot";

  window.Advance(120000, alarm, true);
  EXPECT_EQ(window.soundsStarted, 1);

  alarm.OnRadioUp();
  EXPECT_FALSE(window.soundPlaying);
}

TEST_F(AntiLostAlarmTest, UnpluggingTheReceiverCancelsTheCountdown) {
  alarm.OnRadioUp();
  alarm.OnRadioDown();
  window.Advance(10000, alarm, true);
  alarm.OnReceiverGone();
  window.Advance(60000, alarm, true);
  EXPECT_EQ(window.soundsStarted, 0);
  EXPECT_FALSE(alarm.counting());
}

TEST_F(AntiLostAlarmTest, RadioDropWithoutHavingSeenTheRemoteStartsNoCountdown) {
  alarm.OnRadioDown();
  EXPECT_FALSE(window.dueAtMs.has_value());
  window.Advance(60000, alarm, true);
  EXPECT_EQ(window.soundsStarted, 0);
}

TEST_F(AntiLostAlarmTest, OptionIsReadWhenTheCountdownEnds) {
  // Off at the end: silent, even though the countdown ran.
  alarm.OnRadioUp();
  alarm.OnRadioDown();
  window.Advance(20000, alarm, false);
  EXPECT_EQ(window.soundsStarted, 0);

  // Switched on during the countdown: it sounds.
  alarm.OnRadioUp();
  alarm.OnRadioDown();
  window.Advance(5000, alarm, false);
  window.Advance(15000, alarm, true);
  EXPECT_EQ(window.soundsStarted, 1);
}

TEST_F(AntiLostAlarmTest, SecondDropWithoutReconnectingDoesNotRestartTheCountdown) {
  alarm.OnRadioUp();
  alarm.OnRadioDown();
  window.Advance(20000, alarm, true);
  ASSERT_EQ(window.soundsStarted, 1);
  alarm.OnRadioDown();  // still down: only the sound is stopped
  EXPECT_FALSE(window.soundPlaying);
  window.Advance(60000, alarm, true);
  EXPECT_EQ(window.soundsStarted, 1);
}

TEST_F(AntiLostAlarmTest, ReceiverGoneKeepsTheArmedFlag) {
  alarm.OnRadioUp();
  alarm.OnReceiverGone();
  EXPECT_TRUE(alarm.armed());
  alarm.OnRadioDown();
  EXPECT_TRUE(window.dueAtMs.has_value());
}

}  // namespace
}  // namespace pv::mainwindow::test
