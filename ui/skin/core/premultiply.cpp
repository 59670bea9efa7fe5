#include "ui/skin/core/premultiply.h"

namespace pv::skin {

void PremultiplyBgra(std::uint8_t* bits, int width, int height, std::ptrdiff_t pitch) {
  if (bits == nullptr || width <= 0 || height <= 0) return;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* pixel = bits + y * pitch;
    for (int x = 0; x < width; ++x, pixel += 4) {
      const unsigned alpha = pixel[3];
      for (int channel = 0; channel < 3; ++channel) {
        pixel[channel] = static_cast<std::uint8_t>(pixel[channel] * alpha / 255u);
      }
    }
  }
}

}  // namespace pv::skin
