#include "ui/skin/win32/bit_strip.h"

#include <gtest/gtest.h>

#include "tests/windows/skin/canvas.h"
#include "tests/windows/skin/skin_test_ids.h"

namespace pv::skin::test {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhiteRgb{255, 255, 255};

TEST(BitStrip, ThumbStripDrawsEachFrameAtTheOrigin) {
  CBitStrip strip(IDP_TEST_STRIP, 10, 18);
  EXPECT_EQ(strip.GetFrameCount(), 3u);
  EXPECT_EQ(strip.GetFrameWidth(), 10);
  EXPECT_EQ(strip.GetFrameHeight(), 18);
  EXPECT_FALSE(strip.IsVertical());
  RECT frame{};
  ASSERT_TRUE(strip.GetFrameRect(&frame, 2));
  EXPECT_EQ(frame.left, 20);
  EXPECT_EQ(frame.right, 30);
  EXPECT_EQ(frame.bottom, 18);

  const Rgb colours[] = {kRed, kGreen, kBlue};
  for (int index = 0; index < 3; ++index) {
    Canvas canvas(12, 20, kWhite);
    ASSERT_TRUE(strip.DrawFrame(canvas.Dc(), index)) << index;
    EXPECT_EQ(canvas.Pixel(0, 0), colours[index]) << index;
    EXPECT_EQ(canvas.Pixel(9, 17), colours[index]) << index;
    EXPECT_EQ(canvas.Pixel(10, 0), kWhiteRgb) << index;  // one frame wide, no more
    EXPECT_EQ(canvas.Pixel(0, 18), kWhiteRgb) << index;
  }
}

TEST(BitStrip, FrameOutsideTheStripOrNoDcDrawsNothing) {
  CBitStrip strip(IDP_TEST_STRIP, 10, 18);
  Canvas canvas(12, 20, kWhite);
  EXPECT_FALSE(strip.DrawFrame(canvas.Dc(), 3));
  EXPECT_FALSE(strip.DrawFrame(canvas.Dc(), -1));
  EXPECT_FALSE(strip.DrawFrame(nullptr, 0));
  EXPECT_EQ(canvas.Pixel(0, 0), kWhiteRgb);
}

TEST(BitStrip, TallPictureIsAVerticalStrip) {
  CBitStrip strip(IDP_TEST_TALL, 0, 18);
  EXPECT_TRUE(strip.IsVertical());
  EXPECT_EQ(strip.GetFrameCount(), 3u);
  EXPECT_EQ(strip.GetFrameWidth(), 18);
  Canvas canvas(20, 20, kWhite);
  ASSERT_TRUE(strip.DrawFrame(canvas.Dc(), 1));
  EXPECT_EQ(canvas.Pixel(0, 0), kGreen);
  EXPECT_EQ(canvas.Pixel(17, 17), kGreen);
  EXPECT_EQ(canvas.Pixel(0, 18), kWhiteRgb);
}

TEST(BitStrip, BlitWithZeroSizeCopiesTheWholePicture) {
  CBitStrip strip(IDP_TEST_STRIP, 0, 0);
  EXPECT_EQ(strip.GetFrameCount(), 1u);
  Canvas canvas(40, 20, kWhite);
  ASSERT_TRUE(strip.Blit(canvas.Dc(), 5, 1, 0, 0, 0, 0));
  EXPECT_EQ(canvas.Pixel(5, 1), kRed);
  EXPECT_EQ(canvas.Pixel(20, 10), kGreen);
  EXPECT_EQ(canvas.Pixel(34, 18), kBlue);
  EXPECT_EQ(canvas.Pixel(35, 18), kWhiteRgb);
  EXPECT_EQ(canvas.Pixel(5, 19), kWhiteRgb);
  // A part, from an offset inside the picture.
  Canvas part(10, 10, kWhite);
  ASSERT_TRUE(strip.Blit(part.Dc(), 0, 0, 3, 2, 18, 0));
  EXPECT_EQ(part.Pixel(0, 0), kGreen);  // x 18, 19 are green, 20 is blue
  EXPECT_EQ(part.Pixel(2, 1), kBlue);
  EXPECT_EQ(part.Pixel(3, 0), kWhiteRgb);
  EXPECT_FALSE(strip.Blit(nullptr, 0, 0, 0, 0, 0, 0));
}

TEST(BitStrip, MissingPictureHasNoFramesAndDrawsNothing) {
  CBitStrip strip(IDP_TEST_MISSING, 10, 18);
  EXPECT_EQ(strip.GetFrameCount(), 0u);
  EXPECT_EQ(strip.GetBitmapInfo().bmWidth, 0);
  Canvas canvas(12, 20, kWhite);
  EXPECT_FALSE(strip.DrawFrame(canvas.Dc(), 0));
  EXPECT_EQ(canvas.Pixel(0, 0), kWhiteRgb);
}

TEST(BitStrip, PictureWithoutAlphaDrawsItsFramesOpaque) {
  CBitStrip strip(IDP_TEST_RGB, 1, 0);
  EXPECT_EQ(strip.GetFrameCount(), 2u);
  Canvas canvas(4, 4, kWhite);
  ASSERT_TRUE(strip.DrawFrame(canvas.Dc(), 1));
  EXPECT_EQ(canvas.Pixel(0, 0), (Rgb{40, 50, 60}));
  EXPECT_EQ(canvas.Pixel(0, 1), (Rgb{100, 110, 120}));
  EXPECT_EQ(canvas.Pixel(1, 0), kWhiteRgb);
}

}  // namespace
}  // namespace pv::skin::test
