#include "ui/skin/core/strip_geometry.h"

#include <gtest/gtest.h>

namespace pv::skin::test {
namespace {

TEST(StripGeometry, ThumbStripHasThreeHorizontalFrames) {
  const auto strip = MakeStripGeometry(30, 18, 10, 18);  // the slider thumb picture
  EXPECT_EQ(strip.frameCount, 3u);
  EXPECT_FALSE(strip.vertical);
  const SkinRect expected[] = {{0, 0, 10, 18}, {10, 0, 20, 18}, {20, 0, 30, 18}};
  for (int i = 0; i < 3; ++i) {
    SkinRect frame;
    ASSERT_TRUE(GetFrameRect(strip, i, &frame)) << i;
    EXPECT_EQ(frame, expected[i]) << i;
  }
}

TEST(StripGeometry, IndexOutsideTheFramesFailsAndLeavesOutUntouched) {
  const auto strip = MakeStripGeometry(30, 18, 10, 18);
  const SkinRect sentinel{7, 7, 7, 7};
  for (int index : {3, -1, 1000}) {
    SkinRect frame = sentinel;
    EXPECT_FALSE(GetFrameRect(strip, index, &frame)) << index;
    EXPECT_EQ(frame, sentinel) << index;
  }
  EXPECT_FALSE(GetFrameRect(strip, 0, nullptr));
}

TEST(StripGeometry, TallPictureIsAVerticalStrip) {
  const auto strip = MakeStripGeometry(18, 54, 0, 18);
  EXPECT_TRUE(strip.vertical);
  EXPECT_EQ(strip.frameCount, 3u);
  EXPECT_EQ(strip.frameWidth, 18);
  SkinRect frame;
  ASSERT_TRUE(GetFrameRect(strip, 1, &frame));
  EXPECT_EQ(frame, (SkinRect{0, 18, 18, 36}));
  ASSERT_TRUE(GetFrameRect(strip, 2, &frame));
  EXPECT_EQ(frame, (SkinRect{0, 36, 18, 54}));
}

TEST(StripGeometry, WholePictureSizesAndShapes) {
  struct Case {
    int w, h, fw, fh;
    unsigned frames;
    bool vertical;
    int frameW, frameH;
  };
  const Case cases[] = {
      {250, 18, 0, 0, 1, false, 250, 18},  // a channel picture: one frame, the whole picture
      {32, 32, 16, 16, 2, false, 16, 16},  // square: horizontal
      {25, 18, 10, 18, 2, false, 10, 18},  // remainder ignored
      {0, 0, 0, 0, 0, false, 0, 0},        // not loaded: no frames, no division by zero
      {30, 18, -10, 18, 0, false, -10, 18},
  };
  for (const Case& c : cases) {
    const auto strip = MakeStripGeometry(c.w, c.h, c.fw, c.fh);
    EXPECT_EQ(strip.frameCount, c.frames) << c.w << "x" << c.h;
    EXPECT_EQ(strip.vertical, c.vertical) << c.w << "x" << c.h;
    EXPECT_EQ(strip.frameWidth, c.frameW) << c.w << "x" << c.h;
    EXPECT_EQ(strip.frameHeight, c.frameH) << c.w << "x" << c.h;
  }
  SkinRect frame;
  EXPECT_FALSE(GetFrameRect(MakeStripGeometry(0, 0, 0, 0), 0, &frame));
}

}  // namespace
}  // namespace pv::skin::test
