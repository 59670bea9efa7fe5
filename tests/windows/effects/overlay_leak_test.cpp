// GDI objects and windows stay flat over many show/move/hide cycles of each
// effect: every region, bitmap, DC and pen the overlays make is freed again.
#include <gtest/gtest.h>

#include <functional>

#include "tests/windows/effects/overlay_fixture.h"
#include "tests/windows/framework/gui_counts.h"

namespace pv::effects::test {
namespace {

constexpr int kCycles = 500;

struct Cycle {
  const char* name;
  std::function<void(pv::effects::CEffectWindows&, const PixelRect&, int)> run;
};

TEST_F(OverlayTest, HandleCountsStayFlatOverShowHideCyclesOfEachEffect) {
  const Cycle cycles[] = {
      {"mask",
       [](auto& w, const PixelRect& screen, int) {
         w.ShowMask(screen);
         w.HideMask();
       }},
      {"spotlight",
       [](auto& w, const PixelRect& screen, int i) {
         w.ShowSpotlight(screen, 200, Square({400 + i % 50, 300}, 200));
         w.MoveSpotlightHole(Square({410 + i % 50, 320}, 200));
         w.HideSpotlight();
       }},
      {"lens",
       [](auto& w, const PixelRect&, int i) {
         // A new size every cycle, so the off-screen image is made anew.
         w.ShowLens(Square({600, 500}, 200 + (i % 2) * 20), true);
         w.MoveLens(Square({620, 510}, 200 + (i % 2) * 20));
         ::UpdateWindow(w.Lens().GetSafeHwnd());
         w.HideLens();
       }},
      {"circle",
       [](auto& w, const PixelRect&, int i) {
         w.ShowCircle(Square({300, 300}, 75 + (i % 2) * 10), 0x00FF00);
         w.MoveCircle(Square({320, 310}, 75 + (i % 2) * 10));
         w.HideCircle();
       }},
      {"black screen",
       [](auto& w, const PixelRect& screen, int) {
         w.ShowBlack(screen);
         w.HideBlack();
         w.ShowPointer();
       }},
  };
  for (const Cycle& cycle : cycles) {
    // One cycle first, so objects made once (the lens's pens, its first
    // picture) are counted in the baseline.
    cycle.run(m_windows, m_screen, 0);
    Pump(20);
    const GuiCounts before = CurrentGuiCounts();
    for (int i = 1; i <= kCycles; ++i) {
      cycle.run(m_windows, m_screen, i);
      if (i % 50 == 0) Pump(1);
    }
    Pump(20);
    const GuiCounts after = CurrentGuiCounts();
    EXPECT_EQ(after.gdi, before.gdi) << cycle.name;
    EXPECT_EQ(after.user, before.user) << cycle.name;
  }
}

}  // namespace
}  // namespace pv::effects::test
