// The settings page's click regions and what the mouse does over them: the
// hit flags that follow the pointer, the click that acts on the first set
// flag, and dragging the borderless window by its top strip.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "framework/core/pixel_geometry.h"
#include "ui/mainwindow/core/page_mode.h"

namespace pv::mainwindow {

// In the order the pointer is tested against them on every move.
enum class HitRegion : std::size_t { kAutoBoot, kAntiLost, kPointerToggle, kHelp, kUpdate, kTimerSwitch };
inline constexpr std::size_t kHitRegionCount = 6;

// Whether the pointer was over each region at the last move that changed one.
class HitFlags {
 public:
  bool operator[](HitRegion r) const { return m_on[static_cast<std::size_t>(r)]; }
  void Set(HitRegion r, bool on) { m_on[static_cast<std::size_t>(r)] = on; }
  void Clear(HitRegion r) { Set(r, false); }

 private:
  std::array<bool, kHitRegionCount> m_on{};
};

// Where the regions are on the page now. The switches keep their places on
// both pages; the help and update links depend on the page; the timer switch
// exists only while the timer page is loaded.
struct HitRegions {
  PixelRect autoBoot, antiLost, pointerToggle, timerSwitch;
  PageMode mode = MODE_START;
  bool timerPageReady = false;
};

// The region whose flag changed at a move, if any.
struct HitChange {
  HitRegion region;
  bool nowOn;
};

// Updates the flags one by one in the chain's order and stops at the first
// that changes, so a move from one region straight into another only leaves
// the first; the other follows on the next move. Nothing during an effect.
std::optional<HitChange> TrackHits(HitFlags& flags, const HitRegions& regions, PixelPoint pointer);

enum class ClickAction { kNone, kAutoBoot, kPointerToggle, kTimerSwitch, kHelp, kUpdate, kAntiLost };

// The click acts on the first set flag in this order: AutoBoot, pointer
// toggle, timer switch (only while the timer page is loaded), help, update,
// AntiLost.
ClickAction ClickActionFor(const HitFlags& flags, bool timerPageReady);

// A press in the top strip drags the window, unless it is on a switch that
// may lie there; never during an effect.
bool StartsDrag(const HitFlags& flags, PixelPoint pointer, PageMode mode);

// While dragging with only the left button down, the window moves by the
// pointer's offset from the press point (the press point stays under the
// pointer, so it is never updated). No offset when nothing moved.
std::optional<PixelPoint> DragOffset(bool dragging, bool onlyLeftButtonDown, PixelPoint pointer,
                                     PixelPoint dragStart);

}  // namespace pv::mainwindow
