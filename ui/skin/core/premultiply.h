// Premultiplication of decoded 32-bit pixels, the form AlphaBlend expects.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pv::skin {

// Replaces the blue, green and red bytes of every BGRA pixel by
// byte * alpha / 255 (integer division, so rounded down); alpha stays.
// `pitch` is the signed distance in bytes from one row to the next, so both
// top-down and bottom-up bitmaps are handled. Null bits or an empty size do nothing.
void PremultiplyBgra(std::uint8_t* bits, int width, int height, std::ptrdiff_t pitch);

}  // namespace pv::skin
