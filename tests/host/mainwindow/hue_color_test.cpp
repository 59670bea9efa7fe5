#include "ui/mainwindow/core/hue_color.h"

#include <gtest/gtest.h>

namespace pv::mainwindow::test {
namespace {

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return r << 16 | g << 8 | b;
}

TEST(HueToColor, WalksTheSpectrumInSixSectors) {
  const struct {
    std::uint32_t index, colour;
  } cases[] = {
      {0, Rgb(255, 0, 0)},   {20, Rgb(255, 127, 0)},  {39, Rgb(255, 248, 0)},       {40, Rgb(248, 255, 0)},
      {80, Rgb(0, 255, 0)},  {120, Rgb(0, 248, 255)}, {159, Rgb(0, 0, 255)},        {200, Rgb(255, 0, 248)},
      {239, Rgb(255, 0, 0)}, {240, Rgb(255, 0, 0)},   {0xFFFFFFFF, Rgb(255, 0, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(HueToColor(c.index), c.colour) << c.index;
}

TEST(HueToColor, NeverProducesWhiteWhichTheLaserWindowUsesAsTransparency) {
  for (std::uint32_t i = 0; i < kHueSteps; ++i) {
    const std::uint32_t c = HueToColor(i);
    const int full = ((c >> 16 & 0xFF) == 255) + ((c >> 8 & 0xFF) == 255) + ((c & 0xFF) == 255);
    EXPECT_EQ(full, 1) << i;
  }
}

TEST(ToColorRef, SwapsRedAndBlue) {
  EXPECT_EQ(ToColorRef(0x123456), 0x563412u);
  EXPECT_EQ(ToColorRef(0xFF0000), 0x0000FFu);
}

}  // namespace
}  // namespace pv::mainwindow::test
