// The one point and rectangle type of the platform-free code: whole pixels,
// in whatever coordinate space the caller names (client or screen). The Win32
// side converts to POINT and RECT at its edge.
#pragma once

namespace pv {

struct PixelPoint {
  int x = 0, y = 0;
  friend constexpr bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// A rectangle that includes its left and top edge and excludes its right and
// bottom edge, like the platform's RECT with PtInRect.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;

  constexpr bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  constexpr bool Contains(PixelPoint p) const { return Contains(p.x, p.y); }
  constexpr bool Empty() const { return right <= left || bottom <= top; }
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr PixelPoint TopLeft() const { return {left, top}; }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

constexpr PixelRect RectAt(PixelPoint topLeft, int width, int height) {
  return {topLeft.x, topLeft.y, topLeft.x + width, topLeft.y + height};
}

}  // namespace pv
