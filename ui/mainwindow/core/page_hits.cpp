#include "ui/mainwindow/core/page_hits.h"

#include "ui/mainwindow/core/page_layout.h"

namespace pv::mainwindow {

std::optional<HitChange> TrackHits(HitFlags& flags, const HitRegions& regions, PixelPoint pointer) {
  if (regions.mode == MODE_EFFECT) return std::nullopt;
  struct Test {
    HitRegion region;
    PixelRect rect;
    bool active;
  };
  const Test chain[] = {
      {HitRegion::kAutoBoot, regions.autoBoot, true},
      {HitRegion::kAntiLost, regions.antiLost, true},
      {HitRegion::kPointerToggle, regions.pointerToggle, true},
      {HitRegion::kHelp, HelpLinkRect(regions.mode), true},
      {HitRegion::kUpdate, UpdateLinkRect(regions.mode), true},
      {HitRegion::kTimerSwitch, regions.timerSwitch, regions.timerPageReady},
  };
  for (const Test& test : chain) {
    if (!test.active) continue;
    const bool over = test.rect.Contains(pointer);
    if (over != flags[test.region]) {
      flags.Set(test.region, over);
      return HitChange{test.region, over};
    }
  }
  return std::nullopt;
}

ClickAction ClickActionFor(const HitFlags& flags, bool timerPageReady) {
  if (flags[HitRegion::kAutoBoot]) return ClickAction::kAutoBoot;
  if (flags[HitRegion::kPointerToggle]) return ClickAction::kPointerToggle;
  if (timerPageReady && flags[HitRegion::kTimerSwitch]) return ClickAction::kTimerSwitch;
  if (flags[HitRegion::kHelp]) return ClickAction::kHelp;
  if (flags[HitRegion::kUpdate]) return ClickAction::kUpdate;
  if (flags[HitRegion::kAntiLost]) return ClickAction::kAntiLost;
  return ClickAction::kNone;
}

bool StartsDrag(const HitFlags& flags, PixelPoint pointer, PageMode mode) {
  if (mode == MODE_EFFECT) return false;
  if (flags[HitRegion::kAutoBoot] || flags[HitRegion::kPointerToggle] || flags[HitRegion::kAntiLost])
    return false;
  return pointer.y >= 0 && pointer.y < kDragStripHeight && pointer.x >= 0;
}

std::optional<PixelPoint> DragOffset(bool dragging, bool onlyLeftButtonDown, PixelPoint pointer,
                                     PixelPoint dragStart) {
  if (!dragging || !onlyLeftButtonDown || pointer == dragStart) return std::nullopt;
  return PixelPoint{pointer.x - dragStart.x, pointer.y - dragStart.y};
}

}  // namespace pv::mainwindow
