#include "ui/skin/core/premultiply.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace pv::skin::test {
namespace {

using Pixel = std::array<std::uint8_t, 4>;  // blue, green, red, alpha

struct Case {
  Pixel in;
  Pixel out;
};

TEST(Premultiply, ChannelsScaledByAlphaRoundedDownAlphaKept) {
  const Case cases[] = {
      {{200, 100, 50, 128}, {100, 50, 25, 128}},   // 200*128/255 = 100.39 -> 100
      {{255, 255, 255, 0}, {0, 0, 0, 0}},          // fully transparent: all zero
      {{17, 200, 255, 255}, {17, 200, 255, 255}},  // opaque: unchanged
      {{255, 1, 254, 1}, {1, 0, 0, 1}},            // 255/255 = 1, 1/255 = 0, 254/255 = 0
      {{254, 254, 254, 254}, {253, 253, 253, 254}},
  };
  for (const Case& c : cases) {
    Pixel pixel = c.in;
    PremultiplyBgra(pixel.data(), 1, 1, 4);
    EXPECT_EQ(pixel, c.out) << int{c.in[0]} << "," << int{c.in[1]} << "," << int{c.in[2]} << ","
                            << int{c.in[3]};
  }
}

// Every pixel of every row is converted, rows are found by the pitch (with
// padding bytes that must stay untouched), and a negative pitch walks a
// bottom-up bitmap from its last row in memory.
TEST(Premultiply, WalksRowsByPitchAndLeavesPaddingAlone) {
  constexpr int kWidth = 3, kHeight = 2, kPitch = kWidth * 4 + 4;
  std::vector<std::uint8_t> image(kPitch * kHeight, 0xEE);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      std::uint8_t* p = &image[y * kPitch + x * 4];
      p[0] = 200, p[1] = 100, p[2] = 50, p[3] = 128;
    }
  }
  for (std::ptrdiff_t pitch : {std::ptrdiff_t{kPitch}, -std::ptrdiff_t{kPitch}}) {
    std::vector<std::uint8_t> copy = image;
    std::uint8_t* start = pitch > 0 ? copy.data() : copy.data() + kPitch * (kHeight - 1);
    PremultiplyBgra(start, kWidth, kHeight, pitch);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::uint8_t* p = &copy[y * kPitch + x * 4];
        EXPECT_EQ((Pixel{p[0], p[1], p[2], p[3]}), (Pixel{100, 50, 25, 128})) << x << "," << y;
      }
      for (int pad = kWidth * 4; pad < kPitch; ++pad) EXPECT_EQ(copy[y * kPitch + pad], 0xEE);
    }
  }
}

TEST(Premultiply, NullOrEmptyImageIsIgnored) {
  Pixel pixel{200, 100, 50, 128};
  PremultiplyBgra(nullptr, 1, 1, 4);
  PremultiplyBgra(pixel.data(), 0, 1, 4);
  PremultiplyBgra(pixel.data(), 1, -1, 4);
  EXPECT_EQ(pixel, (Pixel{200, 100, 50, 128}));
}

}  // namespace
}  // namespace pv::skin::test
