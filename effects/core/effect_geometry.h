// Pure geometry and arithmetic of the effects: from settings and pointer
// positions to the rectangles the overlay windows take. Screen coordinates
// throughout; the virtual screen may begin at negative coordinates.
#pragma once

#include <cstdint>

#include "effects/core/effect_types.h"
#include "framework/core/pixel_geometry.h"

namespace pv::effects {

// The virtual screen from SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN,
// SM_CXVIRTUALSCREEN and SM_CYVIRTUALSCREEN.
PixelRect VirtualScreenRect(int x, int y, int width, int height);

// Opacity of the spotlight's dark layer and of the preview:
// (2 x brightness + 55) mod 256; 0..100 gives 55..255.
std::uint8_t OpacityForBrightness(std::uint32_t brightness);

// A size after one step of the remote's size keys (up: +20; down: -20, or 0
// below 20), then kept within [kMinEffectSize, maxEffectSize].
std::uint32_t SteppedEffectSize(std::uint32_t size, bool grow, std::uint32_t maxEffectSize);

// Bounding box of the spotlight's hole: a disc of diameter 2 x (d / 2)
// centred on the pointer (an odd diameter gives a hole one pixel smaller).
PixelRect SpotlightHoleBox(PixelPoint centre, std::uint32_t diameter);

// The lens window: D x D centred on the pointer (D / 2 rounded down).
PixelRect LensWindowRect(PixelPoint centre, std::uint32_t diameter);

// The part of the still picture the lens shows, in picture coordinates (the
// picture's (0, 0) is the virtual screen's top-left): a square of side
// D / 2 whose top-left is the pointer less (D / 2) / 2, drawn D x D.
struct LensSource {
  int x = 0, y = 0;
  int side = 0;
};
LensSource LensSourceFor(PixelPoint centre, std::uint32_t diameter, const PixelRect& captured);

// The laser circle's window edge: size / 2, at least 20; the disc is drawn
// inside a margin (10, or a quarter of the edge for edges below 40).
std::uint32_t CircleEdge(std::uint32_t size);
int CircleMargin(std::uint32_t edge);
PixelRect CircleWindowRect(PixelPoint centre, std::uint32_t size);

// Diameter of the hole in the settings page's 290 x 148 preview: the
// spotlight size scaled so the largest effect fills the preview's height,
// lowest bit cleared (500 on a 1080-pixel side gives 68). 0 when
// maxEffectSize is 0.
std::uint32_t PreviewHoleDiameter(std::uint32_t spotlightSize, std::uint32_t maxEffectSize);

}  // namespace pv::effects
