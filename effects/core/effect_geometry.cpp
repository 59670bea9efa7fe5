#include "effects/core/effect_geometry.h"

#include <algorithm>
#include <cstdint>

namespace pv::effects {
namespace {

// Sizes come from settings and message parameters; anything beyond a screen's
// size is capped before it meets signed pixel arithmetic, so no value can
// overflow a coordinate.
constexpr std::uint32_t kLargestDiameter = 1u << 24;

int HalfOf(std::uint32_t diameter) {
  return static_cast<int>(std::min(diameter, kLargestDiameter) / 2);
}
int WholeOf(std::uint32_t diameter) {
  return static_cast<int>(std::min(diameter, kLargestDiameter));
}

// A side x side square whose top-left is the centre less half the side.
PixelRect CentredSquare(PixelPoint centre, std::uint32_t side) {
  const int half = HalfOf(side);
  return RectAt({centre.x - half, centre.y - half}, WholeOf(side), WholeOf(side));
}

}  // namespace

PixelRect VirtualScreenRect(int x, int y, int width, int height) {
  return RectAt({x, y}, std::max(width, 0), std::max(height, 0));
}

std::uint8_t OpacityForBrightness(std::uint32_t brightness) {
  return static_cast<std::uint8_t>((2u * brightness + 55u) % 256u);
}

std::uint32_t SteppedEffectSize(std::uint32_t size, bool grow, std::uint32_t maxEffectSize) {
  std::uint64_t stepped = size;
  if (grow) {
    stepped += kSizeStep;
  } else {
    stepped = size >= kSizeStep ? size - kSizeStep : 0;
  }
  if (stepped > maxEffectSize) return maxEffectSize;
  if (stepped < kMinEffectSize) return kMinEffectSize;
  return static_cast<std::uint32_t>(stepped);
}

PixelRect SpotlightHoleBox(PixelPoint centre, std::uint32_t diameter) {
  const int r = HalfOf(diameter);
  return {centre.x - r, centre.y - r, centre.x + r, centre.y + r};
}

PixelRect LensWindowRect(PixelPoint centre, std::uint32_t diameter) {
  return CentredSquare(centre, diameter);
}

LensSource LensSourceFor(PixelPoint centre, std::uint32_t diameter, const PixelRect& captured) {
  constexpr std::uint32_t kZoomFactor = 2;
  const std::uint32_t d = std::min(diameter, kLargestDiameter);
  const int side = static_cast<int>(d / kZoomFactor);
  const int halfOffset = static_cast<int>((d / 2) / kZoomFactor);
  // The picture's (0, 0) is the virtual screen's top-left, which lies at
  // negative screen coordinates when a monitor sits left of or above the
  // primary one.
  return {centre.x - captured.left - halfOffset, centre.y - captured.top - halfOffset, side};
}

std::uint32_t CircleEdge(std::uint32_t size) {
  constexpr std::uint32_t kMinEdge = 20;
  return std::max(std::min(size, kLargestDiameter) / 2, kMinEdge);
}

int CircleMargin(std::uint32_t edge) {
  const int half = HalfOf(edge);
  return half >= 20 ? 10 : half / 2;
}

PixelRect CircleWindowRect(PixelPoint centre, std::uint32_t size) {
  return CentredSquare(centre, CircleEdge(size));
}

std::uint32_t PreviewHoleDiameter(std::uint32_t spotlightSize, std::uint32_t maxEffectSize) {
  constexpr std::uint64_t kPreviewHeight = 148;
  if (maxEffectSize == 0) return 0;
  const std::uint64_t scaled = std::uint64_t{spotlightSize} * kPreviewHeight / maxEffectSize;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(scaled, UINT32_MAX)) & ~1u;
}

}  // namespace pv::effects
