#include "ui/skin/core/slider_geometry.h"

#include <gtest/gtest.h>

namespace pv::skin::test {
namespace {

using pv::PixelRect;

TEST(SliderGeometry, ThumbCentredOnTheTrackbarThumbAndChannelSplitAtItsCentre) {
  // A 250-pixel slider whose trackbar thumb is (100..111) with a 10-pixel thumb picture.
  const PixelRect thumb = ThumbWindowRect({100, 2, 111, 16}, 10, 18, 0);
  EXPECT_EQ(thumb, (PixelRect{100, 0, 110, 18}));
  const int split = ChannelSplit(thumb);
  EXPECT_EQ(split, 105);
  const ChannelParts parts = ChannelPartsAt(split, 250, 18);
  EXPECT_EQ(parts.filled, (PixelRect{0, 0, 105, 18}));   // x 0 .. 104 filled
  EXPECT_EQ(parts.empty, (PixelRect{105, 0, 250, 18}));  // x 105 .. 249 empty
}

TEST(SliderGeometry, EndsOfTheRangeAndOddSizes) {
  const struct {
    PixelRect trackbarThumb;
    int thumbWidth, offset;
    PixelRect expected;
  } cases[] = {
      // Thumb at the left end: the picture may stick out to the left.
      {{0, 0, 11, 18}, 10, 0, {0, 0, 10, 18}},
      {{0, 0, 5, 18}, 10, 0, {-3, 0, 7, 18}},
      // An odd thumb picture width, and an offset from the top.
      {{239, 0, 250, 18}, 9, 3, {240, 3, 249, 21}},
      // An empty trackbar thumb (a slider without a range yet).
      {{0, 0, 0, 0}, 10, 0, {-5, 0, 5, 18}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThumbWindowRect(c.trackbarThumb, c.thumbWidth, 18, c.offset), c.expected)
        << c.trackbarThumb.left << ".." << c.trackbarThumb.right;
  }
  // A split outside the slider never gives a negative part.
  EXPECT_EQ(ChannelPartsAt(-3, 250, 18).filled.Width(), 0);
  EXPECT_EQ(ChannelPartsAt(260, 250, 18).empty.Width(), 0);
}

TEST(SliderGeometry, TooltipTextChangesOnlyWithThePosition) {
  PositionTip tip;
  EXPECT_TRUE(tip.Update(5));
  EXPECT_EQ(tip.Text(), "5");
  EXPECT_FALSE(tip.Update(5));  // a move that keeps the position
  EXPECT_TRUE(tip.Update(6));
  EXPECT_EQ(tip.Text(), "6");
  EXPECT_TRUE(tip.Update(-1));
  EXPECT_EQ(tip.Text(), "-1");
}

}  // namespace
}  // namespace pv::skin::test
