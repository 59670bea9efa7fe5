// The digital laser's colour: a position on the colour slider (0..239)
// becomes a fully saturated hue, red → yellow → green → cyan → blue →
// magenta → red, in six sectors of 40 steps.
#pragma once

#include <cstdint>

namespace pv::mainwindow {

inline constexpr std::uint32_t kHueSteps = 240;
inline constexpr std::uint32_t kDefaultCircleColor = 0xFF0000;  // red, 0xRRGGBB

// 0xRRGGBB (red in bits 16 to 23); an index of 240 or more gives pure red.
constexpr std::uint32_t HueToColor(std::uint32_t index) {
  if (index >= kHueSteps) return kDefaultCircleColor;
  const std::uint32_t sector = index / 40;
  const std::uint32_t t = index % 40;
  // The moving channel never quite reaches 255 (at most 39 * 255 / 40 = 248).
  const std::uint32_t v = (sector % 2 == 1) ? (39 - t) * 255 / 40 : t * 255 / 40;
  std::uint32_t r = 0, g = 0, b = 0;
  switch (sector) {
    case 0:
      r = 255, g = v;
      break;
    case 1:
      r = v, g = 255;
      break;
    case 2:
      g = 255, b = v;
      break;
    case 3:
      g = v, b = 255;
      break;
    case 4:
      r = v, b = 255;
      break;
    default:
      r = 255, b = v;
      break;
  }
  return r << 16 | g << 8 | b;
}

// The platform's colour value (0x00BBGGRR) of a 0xRRGGBB colour.
constexpr std::uint32_t ToColorRef(std::uint32_t rrggbb) {
  return (rrggbb >> 16 & 0xFF) | (rrggbb & 0xFF00) | (rrggbb & 0xFF) << 16;
}

}  // namespace pv::mainwindow
