// Where a skinned slider draws its parts. The platform trackbar keeps the
// position and its own (invisible) thumb rectangle; the thumb picture is
// centred on that rectangle, and the channel is the filled picture left of the
// thumb's centre and the empty picture right of it, each read at the x where
// it is drawn.
#pragma once

#include <cstdio>
#include <string>

#include "framework/core/pixel_geometry.h"

namespace pv::skin {

// Rectangle of the thumb window in slider client coordinates: centred
// horizontally on the trackbar's thumb (divisions truncate toward zero), its
// top at `offsetTop`.
constexpr pv::PixelRect ThumbWindowRect(const pv::PixelRect& trackbarThumb, int thumbWidth, int thumbHeight,
                                        int offsetTop) {
  const int left = trackbarThumb.left + trackbarThumb.Width() / 2 - thumbWidth / 2;
  return {left, offsetTop, left + thumbWidth, offsetTop + thumbHeight};
}

// The x where the filled channel ends and the empty one begins.
constexpr int ChannelSplit(const pv::PixelRect& thumbWindow) {
  return thumbWindow.left + thumbWindow.Width() / 2;
}

struct ChannelParts {
  pv::PixelRect filled;  // drawn from the filled picture at the same place
  pv::PixelRect empty;   // drawn from the empty picture at the same place
};

// The two channel parts of a slider of the given client size; a split
// outside the slider gives one empty part.
constexpr ChannelParts ChannelPartsAt(int split, int width, int height) {
  if (split < 0) split = 0;
  if (split > width) split = width;
  return {{0, 0, split, height}, {split, 0, width, height}};
}

// The slider's tooltip text: its position in decimal. Set only when it
// differs from the text shown, so a move that keeps the position costs no
// tooltip update.
class PositionTip {
 public:
  // True (and the new text in Text()) when the position gives another text.
  bool Update(int position) {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%d", position);
    if (m_text == buffer) return false;
    m_text = buffer;
    return true;
  }
  const std::string& Text() const { return m_text; }

 private:
  std::string m_text;
};

}  // namespace pv::skin
