// Geometry of an image strip: an image cut into equal frames laid out side by
// side (horizontal strip) or stacked (vertical strip, when the image is
// narrower than it is tall).
#pragma once

#include <cstdint>

#include "framework/core/pixel_geometry.h"

namespace pv::skin {

using SkinRect = pv::PixelRect;

struct StripGeometry {
  std::uint32_t frameCount = 0;
  int frameWidth = 0;
  int frameHeight = 0;
  bool vertical = false;
};

// frameWidth/frameHeight of 0 mean the whole image width/height. The frame
// count is the number of whole frames along the strip; an empty image or a
// non-positive frame size gives no frames (never a division by zero).
StripGeometry MakeStripGeometry(int imageWidth, int imageHeight, int frameWidth, int frameHeight);

// Source rectangle of frame `index`; false (and `out` untouched) when `out` is
// null or the index is outside 0 .. frameCount - 1.
bool GetFrameRect(const StripGeometry& strip, int index, SkinRect* out);

}  // namespace pv::skin
