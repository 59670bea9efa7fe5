// A 32-bit top-down DIB selected into a memory DC, filled with one colour,
// whose pixels the tests read back directly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "framework/gdi.h"

struct Rgb {
  int r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline bool Near(const Rgb& a, const Rgb& b, int tolerance) {
  auto close = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
  return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill) : m_width(width), m_dc(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<const std::uint8_t*>(bits);
    m_select.emplace(m_dc.Get(), m_bitmap.Get());
    FillSolidRect(m_dc.Get(), RECT{0, 0, width, height}, fill);
  }
  HDC Dc() const { return m_dc.Get(); }
  Rgb Pixel(int x, int y) const {
    ::GdiFlush();  // GDI may batch drawing; the bits are read behind its back
    const std::uint8_t* p = m_bits + (static_cast<size_t>(y) * m_width + x) * 4;
    return Rgb{p[2], p[1], p[0]};
  }

 private:
  int m_width;
  CMemDC m_dc;
  CBitmap m_bitmap;
  std::optional<CSelectObject> m_select;
  const std::uint8_t* m_bits = nullptr;
};
