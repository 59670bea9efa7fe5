// Reading the fixed header of a PNG file: size and colour type, which tell
// whether the decoded picture carries an alpha channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pv::skin {

struct PngHeader {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint8_t bitDepth = 0;
  std::uint8_t colourType = 0;
  // Colour types 4 (grey with alpha) and 6 (RGBA) decode to 32-bit pixels
  // with alpha; the others are drawn opaque.
  bool HasAlpha() const { return colourType == 4 || colourType == 6; }
};

// The header of PNG data, or nothing when the data does not start with the
// PNG signature followed by an IHDR chunk.
std::optional<PngHeader> ReadPngHeader(const std::uint8_t* data, std::size_t size);

}  // namespace pv::skin
