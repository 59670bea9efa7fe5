// The minutes box's step keys and how it reads its text, together with the
// page's correction that follows a step (the box only steps; the page keeps
// the value within 1 to 199).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ui/mainwindow/core/timer_page_rules.h"
#include "ui/skin/core/minutes_step.h"

namespace pv::skin::test {
namespace {

using pv::mainwindow::MinutesBox;
using pv::mainwindow::NormaliseMinutesBox;

struct StepCase {
  const char* name;
  StepKey key;
  std::uint32_t before;
  std::optional<std::uint32_t> stepped;  // what the box sets (nothing: text left alone)
  std::wstring shown;                    // what the user sees after the page's correction
  bool selected;                         // the page selected it to show a limit
};

class StepKeys : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepKeys, StepThenThePageCorrection) {
  const StepCase& c = GetParam();
  const std::optional<std::uint32_t> stepped = StepMinutes(c.key, c.before);
  ASSERT_EQ(stepped, c.stepped);
  const std::wstring text = MinutesText(stepped.value_or(c.before));
  // SetWindowText leaves the caret at the start; the box then moves it behind the digits.
  const MinutesBox typed{text, static_cast<int>(text.size()), static_cast<int>(text.size())};
  const MinutesBox shown = NormaliseMinutesBox(typed).value_or(typed);
  EXPECT_EQ(shown.text, c.shown);
  const bool wholeSelected = shown.selStart == 0 && shown.selEnd == static_cast<int>(shown.text.size());
  EXPECT_EQ(wholeSelected, c.selected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepKeys,
    ::testing::Values(
        StepCase{"UpAt199GivesThe200ThePageTurnsInto199", StepKey::kUp, 199, 200u, L"199", true},
        StepCase{"UpAt40", StepKey::kUp, 40, 41u, L"41", false},
        StepCase{"UpAt0DoesNothing", StepKey::kUp, 0, std::nullopt, L"1", true},
        StepCase{"DownAt199", StepKey::kDown, 199, 198u, L"198", false},
        StepCase{"DownAt1GivesZeroThePageTurnsInto1", StepKey::kDown, 1, 0u, L"1", true},
        StepCase{"DownAbove199DoesNothing", StepKey::kDown, 250, std::nullopt, L"199", true},
        StepCase{"PageUpAt199DoesNothing", StepKey::kPageUp, 199, std::nullopt, L"199", false},
        StepCase{"PageUpStopsAt199", StepKey::kPageUp, 195, 199u, L"199", false},
        StepCase{"PageUpAt40", StepKey::kPageUp, 40, 50u, L"50", false},
        StepCase{"PageUpAt0", StepKey::kPageUp, 0, 10u, L"10", false},
        StepCase{"PageDownAt5GivesZeroThePageTurnsInto1", StepKey::kPageDown, 5, 0u, L"1", true},
        StepCase{"PageDownAt10", StepKey::kPageDown, 10, 0u, L"1", true},
        StepCase{"PageDownAt25", StepKey::kPageDown, 25, 15u, L"15", false},
        StepCase{"PageDownAt0DoesNothing", StepKey::kPageDown, 0, std::nullopt, L"1", true}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

TEST(MinutesValue, ReadsLikeTheplatformsStrToInt) {
  EXPECT_EQ(MinutesValue(L""), 0u);
  EXPECT_EQ(MinutesValue(L"40"), 40u);
  EXPECT_EQ(MinutesValue(L"007"), 7u);
  EXPECT_EQ(MinutesValue(L"12ab"), 12u);  // digits up to the first other character
  EXPECT_EQ(MinutesValue(L"ab12"), 0u);   // pasted text that does not start with digits
  EXPECT_EQ(MinutesValue(L" 12"), 0u);
  EXPECT_GT(MinutesValue(L"-5"), 199u);        // negative, taken as unsigned: too large
  EXPECT_EQ(MinutesValue(L"4294967296"), 0u);  // wraps at 32 bits, as the platform's does
}

}  // namespace
}  // namespace pv::skin::test
