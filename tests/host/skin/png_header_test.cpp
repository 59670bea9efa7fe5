#include "ui/skin/core/png_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pv::skin::test {
namespace {

std::vector<std::uint8_t> Header(std::uint32_t w, std::uint32_t h, std::uint8_t colourType) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                   0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  for (std::uint32_t v : {w, h}) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  png.insert(png.end(), {8, colourType, 0, 0, 0});
  return png;
}

TEST(PngHeader, ReadsSizeAndAlphaFromColourType) {
  struct Case {
    std::uint8_t colourType;
    bool alpha;
  };
  for (const Case c : {Case{6, true}, Case{4, true}, Case{2, false}, Case{3, false}, Case{0, false}}) {
    const auto png = Header(621, 70000, c.colourType);
    const auto header = ReadPngHeader(png.data(), png.size());
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->width, 621u);
    EXPECT_EQ(header->height, 70000u);
    EXPECT_EQ(header->HasAlpha(), c.alpha) << int{c.colourType};
  }
}

TEST(PngHeader, RejectsWhatIsNotAPng) {
  auto png = Header(1, 1, 6);
  EXPECT_FALSE(ReadPngHeader(png.data(), png.size() - 1));  // truncated
  EXPECT_FALSE(ReadPngHeader(nullptr, 100));
  auto badSignature = png;
  badSignature[1] = 'J';
  EXPECT_FALSE(ReadPngHeader(badSignature.data(), badSignature.size()));
  auto badChunk = png;
  badChunk[12] = 'X';
  EXPECT_FALSE(ReadPngHeader(badChunk.data(), badChunk.size()));
}

}  // namespace
}  // namespace pv::skin::test
