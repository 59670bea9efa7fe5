#include "ui/mainwindow/core/page_placement.h"

#include <gtest/gtest.h>

namespace pv::mainwindow::test {
namespace {

TEST(PagePlacement, BatterySymbolSitsOnThePageWhateverTheScaling) {
  // The 40 x 27 symbol at (413, 10): inside the 621-pixel page at every
  // scaling, since no template size goes into it.
  EXPECT_EQ(BatteryRect(kBatteryClientRight, 40, 27), (PixelRect{413, 10, 453, 37}));
  EXPECT_LE(BatteryRect(kBatteryClientRight, 40, 27).right, 621);
  // A missing picture gives an empty place that is never drawn.
  EXPECT_TRUE(BatteryRect(kBatteryClientRight, 0, 0).Empty());
}

TEST(PagePlacement, ArrowAtThePreviewCentre) {
  EXPECT_EQ(PreviewArrowAt(), (PixelPoint{160, 177}));
}

}  // namespace
}  // namespace pv::mainwindow::test
