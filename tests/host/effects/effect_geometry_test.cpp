// The effects' arithmetic: opacity, size steps, the preview hole and the
// rectangles of hole, lens and circle, also on a virtual screen that begins
// at negative coordinates.
#include "effects/core/effect_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pv::effects::test {
namespace {

TEST(EffectGeometryTest, OpacityRunsFrom55To255AndWrapsAbove100) {
  struct Case {
    std::uint32_t brightness;
    int opacity;
  } cases[] = {{0, 55}, {1, 57}, {50, 155}, {80, 215}, {100, 255}, {101, 1}, {200, 199}};
  for (const Case& c : cases) {
    EXPECT_EQ(OpacityForBrightness(c.brightness), c.opacity) << "brightness " << c.brightness;
  }
}

TEST(EffectGeometryTest, SizeStepsStayWithin80AndTheLargestSize) {
  struct Case {
    std::uint32_t size;
    bool grow;
    std::uint32_t max;
    std::uint32_t expected;
  } cases[] = {
      {500, true, 1080, 520},         {500, false, 1080, 480},
      {1070, true, 1080, 1080},       {1080, true, 1080, 1080},
      {100, false, 1080, 80},         {80, false, 1080, 80},
      {19, false, 1080, 80},          {0, false, 1080, 80},
      {UINT32_MAX, true, 1080, 1080}, {UINT32_MAX - 5, false, 1080, 1080},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SteppedEffectSize(c.size, c.grow, c.max), c.expected)
        << c.size << (c.grow ? " grown" : " shrunk") << " within " << c.max;
  }
}

TEST(EffectGeometryTest, PreviewHoleScalesToThePreviewHeightWithAnEvenDiameter) {
  EXPECT_EQ(PreviewHoleDiameter(500, 1080), 68u);  // 500 x 148 / 1080 = 68.5
  EXPECT_EQ(PreviewHoleDiameter(510, 1080), 68u);  // 69.8 -> 69 -> even 68
  EXPECT_EQ(PreviewHoleDiameter(1080, 1080), 148u);
  EXPECT_EQ(PreviewHoleDiameter(80, 768), 14u);  // 15.4 -> 15 -> 14
  EXPECT_EQ(PreviewHoleDiameter(500, 0), 0u);
  EXPECT_EQ(PreviewHoleDiameter(UINT32_MAX, 1), UINT32_MAX & ~1u) << "no 32-bit overflow";
}

TEST(EffectGeometryTest, VirtualScreenKeepsItsOriginLeftOfAndAboveThePrimary) {
  EXPECT_EQ(VirtualScreenRect(-1920, -200, 3840, 1280), (PixelRect{-1920, -200, 1920, 1080}));
  EXPECT_EQ(VirtualScreenRect(0, 0, 1920, 1080), (PixelRect{0, 0, 1920, 1080}));
  EXPECT_TRUE(VirtualScreenRect(10, 10, -5, 0).Empty());
}

TEST(EffectGeometryTest, SpotlightHoleIsCentredAndOddDiametersLoseOnePixel) {
  EXPECT_EQ(SpotlightHoleBox({-1000, -50}, 500), (PixelRect{-1250, -300, -750, 200}));
  EXPECT_EQ(SpotlightHoleBox({100, 100}, 81), (PixelRect{60, 60, 140, 140}));
}

TEST(EffectGeometryTest, LensWindowIsTheDiameterSquareCentredOnThePointer) {
  EXPECT_EQ(LensWindowRect({-1000, 300}, 500), (PixelRect{-1250, 50, -750, 550}));
  EXPECT_EQ(LensWindowRect({0, 0}, 501), (PixelRect{-250, -250, 251, 251}));
}

TEST(EffectGeometryTest, LensSourceIsMeasuredFromThePicturesOrigin) {
  // Picture of a virtual screen whose primary monitor has a projector on
  // its left and a little above.
  const PixelRect captured{-1920, -200, 1920, 1080};
  const LensSource onProjector = LensSourceFor({-1000, 100}, 500, captured);
  EXPECT_EQ(onProjector.side, 250);
  EXPECT_EQ(onProjector.x, -1000 + 1920 - 125);
  EXPECT_EQ(onProjector.y, 100 + 200 - 125);

  const LensSource onPrimaryOrigin = LensSourceFor({0, 0}, 501, {0, 0, 1920, 1080});
  EXPECT_EQ(onPrimaryOrigin.side, 250);  // D = 501: s = 250, o = 125
  EXPECT_EQ(onPrimaryOrigin.x, -125);
  EXPECT_EQ(onPrimaryOrigin.y, -125);
}

TEST(EffectGeometryTest, CircleEdgeMarginAndDisc) {
  struct Case {
    std::uint32_t size;
    std::uint32_t edge;
    int margin;
    int disc;
  } cases[] = {{30, 20, 5, 10}, {150, 75, 10, 55}, {80, 40, 10, 20}, {10, 20, 5, 10}, {0, 20, 5, 10}};
  for (const Case& c : cases) {
    const std::uint32_t edge = CircleEdge(c.size);
    EXPECT_EQ(edge, c.edge) << "size " << c.size;
    EXPECT_EQ(CircleMargin(edge), c.margin) << "size " << c.size;
    EXPECT_EQ(static_cast<int>(edge) - 2 * CircleMargin(edge), c.disc) << "size " << c.size;
  }
  EXPECT_EQ(CircleWindowRect({-500, -20}, 150), (PixelRect{-537, -57, -462, 18}));
}

TEST(EffectGeometryTest, HugeSizesDoNotOverflowCoordinates) {
  // Runs under UBSan: a size from a corrupt setting must not overflow.
  const PixelRect hole = SpotlightHoleBox({0, 0}, UINT32_MAX);
  EXPECT_LT(hole.left, 0);
  EXPECT_GT(hole.right, 0);
  EXPECT_FALSE(LensWindowRect({100, 100}, UINT32_MAX).Empty());
  EXPECT_FALSE(CircleWindowRect({100, 100}, UINT32_MAX).Empty());
  EXPECT_GT(LensSourceFor({100, 100}, UINT32_MAX, {0, 0, 10, 10}).side, 0);
}

}  // namespace
}  // namespace pv::effects::test
