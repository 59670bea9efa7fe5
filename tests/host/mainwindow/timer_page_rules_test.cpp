// The timer page's rules: the minutes box's correction while typing, the
// decision to resume a stored timer, and the hand-over to a link whose lock
// may not be available.
#include "ui/mainwindow/core/timer_page_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pv::mainwindow::test {
namespace {

// ---------------------------------------------------------------- the box

struct BoxCase {
  const char* name;
  MinutesBox typed;                    // text and caret/selection after the user's edit
  std::optional<MinutesBox> expected;  // nothing: the text stands as typed
};

class MinutesBoxCorrection : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MinutesBoxCorrection, GivesTheTextAndSelection) {
  const BoxCase& c = GetParam();
  const std::optional<MinutesBox> corrected = NormaliseMinutesBox(c.typed);
  EXPECT_EQ(corrected, c.expected);
  // What the handler set raises it again: it must then find nothing to do.
  if (corrected) {
    EXPECT_EQ(NormaliseMinutesBox(*corrected), std::nullopt);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MinutesBoxCorrection,
    ::testing::Values(BoxCase{"PlainNumberStands", {L"15", 2, 2}, std::nullopt},
                      BoxCase{"OneStands", {L"1", 1, 1}, std::nullopt},
                      BoxCase{"Limit199Stands", {L"199", 3, 3}, std::nullopt},
                      BoxCase{"PastedLeadingZerosDropped", {L"007", 3, 3}, MinutesBox{L"7", 1, 1}},
                      BoxCase{"ZeroTypedInFrontDropped", {L"015", 1, 1}, MinutesBox{L"15", 0, 0}},
                      BoxCase{"CaretKeptAmongRemainingDigits", {L"0025", 3, 3}, MinutesBox{L"25", 1, 1}},
                      BoxCase{"TypedThirdDigitAbove199", {L"250", 3, 3}, MinutesBox{L"199", 0, 3}},
                      BoxCase{"LeadingZeroThenAbove199", {L"0250", 4, 4}, MinutesBox{L"199", 0, 3}},
                      BoxCase{"PastedHugeNumber", {L"99999999999", 11, 11}, MinutesBox{L"199", 0, 3}},
                      BoxCase{"ZeroTypedIntoEmptyBox", {L"0", 1, 1}, MinutesBox{L"1", 0, 1}},
                      BoxCase{"AllDigitsDeleted", {L"", 0, 0}, MinutesBox{L"1", 0, 1}},
                      BoxCase{"OnlyZeros", {L"000", 3, 3}, MinutesBox{L"1", 0, 1}},
                      BoxCase{"PastedTextWithoutDigits", {L"abc", 3, 3}, MinutesBox{L"1", 0, 1}},
                      BoxCase{"PastedNegative", {L"-5", 2, 2}, MinutesBox{L"199", 0, 3}},
                      BoxCase{"SteppedTo200", {L"200", 3, 3}, MinutesBox{L"199", 0, 3}},
                      BoxCase{"SteppedToZero", {L"0", 1, 1}, MinutesBox{L"1", 0, 1}}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

TEST(MinutesText, SecondsAndTextBothWays) {
  EXPECT_EQ(MinutesTextFor(2400), L"40");
  EXPECT_EQ(MinutesTextFor(959), L"15");  // whole minutes, rounded down
  EXPECT_EQ(SecondsFromMinutesText(L"15"), 900u);
  EXPECT_EQ(SecondsFromMinutesText(L"199"), 11940u);
}

// ---------------------------------------------------------------- resuming

constexpr std::int64_t kNow = 1'800'000'000;  // 2027, past 2^31: the high half matters below

StoredTimer Running(std::int64_t start, std::uint32_t seconds) {
  return {.on = 1u, .seconds = seconds, .startLow = StartLow(start), .startHigh = StartHigh(start)};
}

struct ResumeCase {
  const char* name;
  StoredTimer stored;
  TimerResume expected;
};

class ResumeDecision : public ::testing::TestWithParam<ResumeCase> {};

TEST_P(ResumeDecision, ResumesOnlyATimerThatStillRuns) {
  const ResumeCase& c = GetParam();
  const TimerResume got = DecideResume(c.stored, kNow);
  EXPECT_EQ(got.running, c.expected.running);
  EXPECT_EQ(got.seconds, c.expected.seconds);
  EXPECT_EQ(got.start, c.expected.start);
}

StoredTimer WithoutLow() {
  StoredTimer s = Running(kNow - 60, 1800);
  s.startLow.reset();
  return s;
}
StoredTimer WithoutHigh() {
  StoredTimer s = Running(kNow - 60, 1800);
  s.startHigh.reset();
  return s;
}
StoredTimer WithoutDuration() {
  StoredTimer s = Running(kNow - 60, 1800);
  s.seconds.reset();
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResumeDecision,
    ::testing::Values(
        ResumeCase{"TenMinutesIntoThirtyResumesWithTheSameStart",
                   Running(kNow - 600, 1800),
                   {.running = true, .seconds = 1800, .start = kNow - 600}},
        ResumeCase{"OneSecondLeftResumes",
                   Running(kNow - 1799, 1800),
                   {.running = true, .seconds = 1800, .start = kNow - 1799}},
        ResumeCase{"StartedThisSecondResumes",
                   Running(kNow, 1800),
                   {.running = true, .seconds = 1800, .start = kNow}},
        ResumeCase{"EndedExactlyNowIsOff", Running(kNow - 1800, 1800), {.running = false, .seconds = 1800}},
        ResumeCase{"EndedLongAgoIsOff", Running(kNow - 86400, 1800), {.running = false, .seconds = 1800}},
        ResumeCase{"StartInTheFutureIsOff", Running(kNow + 1, 1800), {.running = false, .seconds = 1800}},
        ResumeCase{"DurationZeroIsOff", Running(kNow, 0), {.running = false, .seconds = 0}},
        ResumeCase{"MissingLowHalfIsOff", WithoutLow(), {.running = false, .seconds = 1800}},
        ResumeCase{"MissingHighHalfIsOff", WithoutHigh(), {.running = false, .seconds = 1800}},
        ResumeCase{"MissingDurationIsOffWithForty", WithoutDuration(), {.running = false, .seconds = 2400}},
        ResumeCase{"StoredOffKeepsItsDuration",
                   {.on = 0u, .seconds = 900u, .startLow = 5u, .startHigh = 0u},
                   {.running = false, .seconds = 900}},
        ResumeCase{"NothingStoredIsOffWithForty", {}, {.running = false, .seconds = 2400}},
        // A high half with its top bit set is a start far before 1970: the
        // timer ended long ago; the difference must not overflow.
        ResumeCase{"ForeignHighHalfIsOff",
                   {.on = 1u, .seconds = 0xFFFFFFFFu, .startLow = 0u, .startHigh = 0x80000000u},
                   {.running = false, .seconds = 0xFFFFFFFFu}}),
    [](const ::testing::TestParamInfo<ResumeCase>& info) { return std::string(info.param.name); });

TEST(StartHalves, SplitAndJoinBackPastThirtyTwoBits) {
  const std::int64_t start = 0x1'2345'6789LL;
  EXPECT_EQ(StartLow(start), 0x23456789u);
  EXPECT_EQ(StartHigh(start), 1u);
  EXPECT_EQ(JoinStart(StartLow(start), StartHigh(start)), start);
}

// ---------------------------------------------------------------- hand-over

// A link whose lock the test takes away.
class FakeLink : public LinkTimerPort {
 public:
  bool TryStart(const TimerRequest& request) override {
    ++attempts;
    if (locked) return false;
    taken.push_back(request);
    return true;
  }
  bool locked = false;
  int attempts = 0;
  std::vector<TimerRequest> taken;
};

TEST(TimerHandOver, AFreeLinkTakesTheChangeAtOnce) {
  FakeLink link;
  TimerHandOver handOver(link);
  EXPECT_TRUE(handOver.Submit({.on = true, .start = kNow, .seconds = 900}));
  EXPECT_FALSE(handOver.Pending());
  ASSERT_EQ(link.taken.size(), 1u);
  EXPECT_EQ(link.taken[0], (TimerRequest{.on = true, .start = kNow, .seconds = 900}));
}

TEST(TimerHandOver, ABusyLinkGetsTheLatestChangeWithItsOwnStartOnceFree) {
  FakeLink link;
  link.locked = true;  // the worker is stuck in a write
  TimerHandOver handOver(link);
  EXPECT_FALSE(handOver.Submit({.on = true, .start = kNow, .seconds = 900}));
  EXPECT_FALSE(handOver.Submit({.on = true, .start = kNow + 5, .seconds = 1200}));
  EXPECT_FALSE(handOver.Retry());
  EXPECT_TRUE(handOver.Pending());
  EXPECT_TRUE(link.taken.empty());

  link.locked = false;
  EXPECT_TRUE(handOver.Retry());
  EXPECT_FALSE(handOver.Pending());
  // Only the user's latest choice, counted from when they made it.
  ASSERT_EQ(link.taken.size(), 1u);
  EXPECT_EQ(link.taken[0], (TimerRequest{.on = true, .start = kNow + 5, .seconds = 1200}));
  const int attempts = link.attempts;
  EXPECT_TRUE(handOver.Retry());  // nothing pending: the link is left alone
  EXPECT_EQ(link.attempts, attempts);
}

}  // namespace
}  // namespace pv::mainwindow::test
