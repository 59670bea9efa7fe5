// The presentation timer: minute arithmetic, expiry and what the remote sees.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <ostream>
#include <thread>

#include "link/core/hid_link.h"
#include "link/core/local_time.h"
#include "link/core/timer_math.h"
#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

using Messages = std::vector<Message>;

struct MinutesCase {
  const char* name;
  bool running;
  std::int64_t elapsed;
  std::uint32_t seconds;
  std::uint16_t minutes;
};

void PrintTo(const MinutesCase& c, std::ostream* out) {
  *out << c.name;
}

class LinkMinutes : public testing::TestWithParam<MinutesCase> {};

TEST_P(LinkMinutes, RoundUpAndClampAndWrap) {
  const auto& c = GetParam();
  const std::int64_t start = 1'768'000'000;
  EXPECT_EQ(RemainingMinutes(c.running, start, c.seconds, start + c.elapsed), c.minutes);
}

INSTANTIATE_TEST_SUITE_P(Timer, LinkMinutes,
                         testing::Values(MinutesCase{"remaining_61s", true, 539, 600, 2},
                                         MinutesCase{"remaining_60s", true, 540, 600, 1},
                                         MinutesCase{"remaining_1s", true, 599, 600, 1},
                                         MinutesCase{"remaining_0s", true, 600, 600, 0},
                                         MinutesCase{"overdue", true, 7200, 600, 0},
                                         MinutesCase{"not_running", false, 0, 600, 0},
                                         // 30-minute timer, started 5 minutes ago, clock set back 10 minutes.
                                         MinutesCase{"clock_set_back", true, -300, 1800, 35},
                                         MinutesCase{"five_hours", true, 0, 300 * 60, 300}),
                         [](const testing::TestParamInfo<MinutesCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(LinkLocalTimeConversion, YearsBefore1900GiveZeroAndSecondsCount) {
  EXPECT_EQ(LocalTimeToSeconds({1899, 12, 31, 23, 59, 59, 0}), 0);
  const LocalTime a{2026, 3, 1, 12, 0, 0, 0};
  const LocalTime b{2026, 3, 1, 12, 1, 1, 999};
  EXPECT_EQ(LocalTimeToSeconds(b) - LocalTimeToSeconds(a), 61);
}

// A rig whose radio link is up, so timer changes are written at once.
struct TimerRig : LinkRig {
  TimerRig() {
    Connect();
    Feed(MakeStatus(0x00));
    sink.Take();
    transport.m_writes.clear();
  }
  void Start(bool on, std::int64_t start, std::uint32_t seconds) {
    EXPECT_TRUE(link.TryStartTimer(on, start, seconds, std::chrono::seconds(5)));
  }
  PlainOutput Ask() {
    transport.m_writes.clear();
    Feed(MakeStateRequest());
    EXPECT_EQ(transport.m_writes.size(), 1u);
    return Unmask(transport.m_writes.at(0));
  }
};

TEST(LinkPresentationTimer, StartWritesAtOnceWhileLinkedAndZeroMeansNow) {
  TimerRig rig;
  rig.Start(true, 0, 600);
  EXPECT_EQ(rig.worker.m_timerStart, rig.clock.NowSeconds());
  ASSERT_EQ(rig.transport.m_writes.size(), 1u);
  const auto plain = Unmask(rig.transport.m_writes[0]);
  EXPECT_EQ(plain.flags, OF_TIMER_RUNNING);
  EXPECT_EQ(plain.minutes, 10);
}

TEST(LinkPresentationTimer, NotWrittenWhileRadioDown) {
  LinkRig rig;
  rig.Connect();
  EXPECT_TRUE(rig.link.TryStartTimer(true, 0, 600, std::chrono::seconds(5)));
  EXPECT_TRUE(rig.transport.m_writes.empty());
  EXPECT_EQ(rig.worker.m_bTimerRunning, 1);
}

// A write stuck in a receiver that does not answer keeps the lock on the
// worker's side: the window's timer operations give up after the wait they
// asked for and change nothing.
TEST(LinkPresentationTimer, TimerOperationsGiveUpOnAHeldLockAndChangeNothing) {
  using std::chrono::milliseconds;
  LinkRig rig;
  rig.Connect();
  std::atomic<bool> held{false};
  std::atomic<bool> release{false};
  std::thread stuck([&] {
    std::lock_guard lock(rig.worker.m_hMutex);
    held = true;
    while (!release) std::this_thread::sleep_for(milliseconds(1));
  });
  while (!held) std::this_thread::yield();
  EXPECT_FALSE(rig.link.TryStartTimer(true, 0, 600, milliseconds(20)));
  EXPECT_EQ(rig.link.TimerRunning(milliseconds(20)), std::nullopt);
  release = true;
  stuck.join();
  EXPECT_EQ(rig.worker.m_bTimerRunning, 0) << "the timer was changed without the lock";

  EXPECT_TRUE(rig.link.TryStartTimer(true, 0, 600, milliseconds(20)));
  EXPECT_EQ(rig.link.TimerRunning(milliseconds(20)), std::optional<bool>(true));
}

TEST(LinkPresentationTimer, ZeroSecondsLeavesItIdle) {
  TimerRig rig;
  rig.Start(true, 0, 0);
  EXPECT_EQ(rig.worker.m_bTimerRunning, 0);
  EXPECT_EQ(rig.Ask().flags, 0);
}

TEST(LinkPresentationTimer, ExpiresOnceInTimerTickAndAlertsUntilAcknowledged) {
  TimerRig rig;
  rig.Start(true, rig.clock.NowSeconds() - 59, 60);
  EXPECT_EQ(rig.Ask().minutes, 1);
  rig.transport.m_writes.clear();

  rig.clock.Advance(1000);
  auto messages = rig.Feed(MakeStatus(0x00));
  EXPECT_EQ(messages, (Messages{{UM_LINK_TIMER_DUE, 0, 0}}));
  ASSERT_EQ(rig.transport.m_writes.size(), 1u) << "the alert goes out at once";
  EXPECT_EQ(Unmask(rig.transport.m_writes[0]).flags, OF_TIMER_ALERT);
  EXPECT_EQ(rig.worker.m_timerSeconds, 0u);
  EXPECT_EQ(rig.worker.m_timerStart, 0);

  EXPECT_TRUE(rig.Feed(MakeStatus(0x00)).empty()) << "posted once per expiry";
  EXPECT_EQ(rig.Ask().flags, OF_TIMER_ALERT) << "kept until acknowledged";
  rig.Feed(MakeStatus(0x20));
  EXPECT_EQ(rig.worker.m_bTimerAlert, 0);
  EXPECT_EQ(rig.Ask().flags, 0);
}

TEST(LinkPresentationTimer, SettingOrStoppingWithdrawsThePendingAlert) {
  TimerRig rig;
  rig.worker.m_bTimerAlert = 1;
  rig.Start(false, 0, 600);
  EXPECT_EQ(rig.worker.m_bTimerAlert, 0);
  EXPECT_EQ(rig.worker.m_bTimerRunning, 0);
}

TEST(LinkPresentationTimer, ClockSetBackDelaysTheExpiry) {
  TimerRig rig;
  rig.Start(true, rig.clock.NowSeconds() - 300, 1800);
  rig.clock.SetWallClockBack(600'000);
  EXPECT_EQ(rig.Ask().minutes, 35);
  rig.clock.Advance(35 * 60 * 1000 - 1000);
  EXPECT_TRUE(rig.Feed(MakeStatus(0x00)).empty());
  rig.clock.Advance(1000);
  EXPECT_EQ(rig.Feed(MakeStatus(0x00)), (Messages{{UM_LINK_TIMER_DUE, 0, 0}}));
}

TEST(LinkPresentationTimer, RestartedProgramContinuesFromStoredStart) {
  TimerRig rig;
  rig.Start(true, rig.clock.NowSeconds() - 20 * 60, 30 * 60);
  EXPECT_EQ(rig.Ask().minutes, 10);
}

TEST(LinkPresentationTimer, MinutesAbove255SentModulo256) {
  TimerRig rig;
  rig.Start(true, 0, 300 * 60);
  EXPECT_EQ(rig.Ask().minutes, 300 % 256);
  EXPECT_EQ(rig.worker.m_remainingMinutes, 300);
}

TEST(LinkPresentationTimer, ReportUnmaskedWhenMillisecondsLowByteAndSecondsAreZero) {
  TimerRig rig;
  rig.clock.m_epochMs = rig.clock.m_epochMs / 60000 * 60000 + 256;  // second 0, ms 256
  rig.transport.m_writes.clear();
  rig.Feed(MakeStateRequest());
  ASSERT_EQ(rig.transport.m_writes.size(), 1u);
  const auto& answer = rig.transport.m_writes[0];
  EXPECT_EQ(answer[1], 0x5A);
  EXPECT_EQ(answer[6], 0x00);
  EXPECT_EQ(answer[7], 0xFF);
}

}  // namespace
}  // namespace pv::link::test
