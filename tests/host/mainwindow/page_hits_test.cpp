#include "ui/mainwindow/core/page_hits.h"

#include <gtest/gtest.h>

#include "ui/mainwindow/core/page_layout.h"

namespace pv::mainwindow::test {
namespace {

HitRegions Page(PageMode mode, bool timerPageReady = false) {
  HitRegions r;
  r.autoBoot = RectAt(kAutoBootSwitchAt, 45, 16);
  r.antiLost = RectAt(kAntiLostSwitchAt, 45, 16);
  r.pointerToggle = RectAt(kPointerToggleAt, 32, 32);
  r.timerSwitch = RectAt(kTimerSwitchAt, 45, 16);
  r.mode = mode;
  r.timerPageReady = timerPageReady;
  return r;
}

constexpr PixelPoint kOnAutoBoot{560, 180};
constexpr PixelPoint kOnAntiLost{560, 220};
constexpr PixelPoint kOnToggle{280, 270};
constexpr PixelPoint kOnHelp{560, 130};
constexpr PixelPoint kOnUpdate{560, 90};
constexpr PixelPoint kOnTimerSwitch{560, 270};
constexpr PixelPoint kNowhere{300, 400};

TEST(PageHits, EachRegionLightsItsFlagAtItsEdges) {
  HitFlags flags;
  const HitRegions page = Page(MODE_READY, true);
  // Left/top edges are inside, right/bottom edges outside.
  const struct {
    PixelPoint inside, outside;
    HitRegion region;
  } cases[] = {
      {{555, 175}, {600, 191}, HitRegion::kAutoBoot},      {{599, 233}, {600, 233}, HitRegion::kAntiLost},
      {{274, 262}, {306, 294}, HitRegion::kPointerToggle}, {{556, 126}, {606, 150}, HitRegion::kHelp},
      {{550, 82}, {605, 106}, HitRegion::kUpdate},         {{555, 268}, {555, 284}, HitRegion::kTimerSwitch},
  };
  for (const auto& c : cases) {
    auto change = TrackHits(flags, page, c.inside);
    ASSERT_TRUE(change.has_value());
    EXPECT_EQ(change->region, c.region);
    EXPECT_TRUE(change->nowOn);
    change = TrackHits(flags, page, c.outside);
    ASSERT_TRUE(change.has_value());
    EXPECT_EQ(change->region, c.region);
    EXPECT_FALSE(flags[c.region]);
  }
  EXPECT_FALSE(TrackHits(flags, page, kNowhere).has_value());
}

TEST(PageHits, OnlyTheFirstChangedFlagActsPerMove) {
  HitFlags flags;
  const HitRegions page = Page(MODE_READY);
  ASSERT_TRUE(TrackHits(flags, page, kOnToggle));
  // Straight from the toggle into the AutoBoot switch: AutoBoot is tested first
  // and changes, the toggle's flag stays set until the next move.
  auto change = TrackHits(flags, page, kOnAutoBoot);
  EXPECT_EQ(change->region, HitRegion::kAutoBoot);
  EXPECT_TRUE(flags[HitRegion::kPointerToggle]);
  change = TrackHits(flags, page, kOnAutoBoot);
  EXPECT_EQ(change->region, HitRegion::kPointerToggle);
  EXPECT_FALSE(change->nowOn);
  EXPECT_FALSE(TrackHits(flags, page, kOnAutoBoot).has_value());
}

TEST(PageHits, LinksFollowThePageAndTheTimerSwitchTheTimerPage) {
  HitFlags flags;
  // The not-ready page has its help link elsewhere and no update link.
  EXPECT_FALSE(TrackHits(flags, Page(MODE_NOT_READY), kOnHelp).has_value());
  EXPECT_FALSE(TrackHits(flags, Page(MODE_NOT_READY), kOnUpdate).has_value());
  EXPECT_EQ(TrackHits(flags, Page(MODE_NOT_READY), {50, 330})->region, HitRegion::kHelp);
  // The switches react on the not-ready page too.
  EXPECT_EQ(TrackHits(flags, Page(MODE_NOT_READY), kOnAutoBoot)->region, HitRegion::kAutoBoot);
  // Without the timer page its switch is no region.
  HitFlags fresh;
  EXPECT_FALSE(TrackHits(fresh, Page(MODE_READY, false), kOnTimerSwitch).has_value());
  EXPECT_EQ(TrackHits(fresh, Page(MODE_READY, true), kOnTimerSwitch)->region, HitRegion::kTimerSwitch);
  // During an effect nothing is tracked.
  HitFlags effect;
  EXPECT_FALSE(TrackHits(effect, Page(MODE_EFFECT, true), kOnAutoBoot).has_value());
  EXPECT_FALSE(effect[HitRegion::kAutoBoot]);
}

TEST(PageHits, ClickActsOnTheFirstSetFlagInDispatchOrder) {
  // Flags set from the last region of the order to the first; each added flag
  // must win over those set before it.
  const struct {
    HitRegion region;
    ClickAction action;
  } order[] = {
      {HitRegion::kAntiLost, ClickAction::kAntiLost},
      {HitRegion::kUpdate, ClickAction::kUpdate},
      {HitRegion::kHelp, ClickAction::kHelp},
      {HitRegion::kTimerSwitch, ClickAction::kTimerSwitch},
      {HitRegion::kPointerToggle, ClickAction::kPointerToggle},
      {HitRegion::kAutoBoot, ClickAction::kAutoBoot},
  };
  HitFlags flags;
  EXPECT_EQ(ClickActionFor(flags, true), ClickAction::kNone);
  for (const auto& step : order) {
    flags.Set(step.region, true);
    EXPECT_EQ(ClickActionFor(flags, true), step.action);
  }
  // A timer-switch flag left over from an unloaded timer page does nothing.
  HitFlags stale;
  stale.Set(HitRegion::kTimerSwitch, true);
  stale.Set(HitRegion::kAntiLost, true);
  EXPECT_EQ(ClickActionFor(stale, false), ClickAction::kAntiLost);
}

TEST(PageHits, DragStartsInTheTopStripOffTheSwitches) {
  HitFlags flags;
  EXPECT_TRUE(StartsDrag(flags, {0, 0}, MODE_READY));
  EXPECT_TRUE(StartsDrag(flags, {620, 59}, MODE_NOT_READY));
  EXPECT_FALSE(StartsDrag(flags, {300, 60}, MODE_READY));  // below the strip
  EXPECT_FALSE(StartsDrag(flags, {300, 10}, MODE_EFFECT));
  for (HitRegion blocking : {HitRegion::kAutoBoot, HitRegion::kPointerToggle, HitRegion::kAntiLost}) {
    HitFlags on;
    on.Set(blocking, true);
    EXPECT_FALSE(StartsDrag(on, {300, 10}, MODE_READY));
  }
  HitFlags overLink;
  overLink.Set(HitRegion::kHelp, true);  // the links do not block a drag
  EXPECT_TRUE(StartsDrag(overLink, {300, 10}, MODE_READY));
}

TEST(PageHits, DragMovesByThePointerOffsetWithOnlyTheLeftButton) {
  const PixelPoint start{100, 20};
  EXPECT_EQ(DragOffset(true, true, {130, 10}, start), (PixelPoint{30, -10}));
  EXPECT_FALSE(DragOffset(true, true, start, start).has_value());       // no movement
  EXPECT_FALSE(DragOffset(true, false, {130, 10}, start).has_value());  // another key or button too
  EXPECT_FALSE(DragOffset(false, true, {130, 10}, start).has_value());  // no drag started
}

}  // namespace
}  // namespace pv::mainwindow::test
