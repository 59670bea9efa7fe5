#include "ui/skin/core/strip_geometry.h"

namespace pv::skin {

StripGeometry MakeStripGeometry(int imageWidth, int imageHeight, int frameWidth, int frameHeight) {
  StripGeometry strip;
  strip.vertical = imageWidth < imageHeight;  // a square image is a horizontal strip
  strip.frameWidth = frameWidth == 0 ? imageWidth : frameWidth;
  strip.frameHeight = frameHeight == 0 ? imageHeight : frameHeight;
  if (imageWidth <= 0 || imageHeight <= 0 || strip.frameWidth <= 0 || strip.frameHeight <= 0) {
    return strip;
  }
  strip.frameCount = strip.vertical ? static_cast<std::uint32_t>(imageHeight / strip.frameHeight)
                                    : static_cast<std::uint32_t>(imageWidth / strip.frameWidth);
  return strip;
}

bool GetFrameRect(const StripGeometry& strip, int index, SkinRect* out) {
  if (out == nullptr || index < 0 || static_cast<std::uint32_t>(index) >= strip.frameCount) return false;
  out->left = strip.vertical ? 0 : index * strip.frameWidth;
  out->top = strip.vertical ? index * strip.frameHeight : 0;
  out->right = out->left + strip.frameWidth;
  out->bottom = out->top + strip.frameHeight;
  return true;
}

}  // namespace pv::skin
