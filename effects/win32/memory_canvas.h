// A bitmap selected into a memory DC, both owned: the still picture of the
// magnifier, its off-screen lens and the laser's disc. Reset frees all of it
// (selection undone first, then the bitmap, then the DC).
#pragma once

#include <windows.h>

#include <optional>

#include "framework/gdi.h"

namespace pv::effects {

class CMemoryCanvas {
 public:
  // A width x height bitmap compatible with `reference` (a window or screen
  // DC) in a memory DC; false (and empty) if GDI refused.
  bool Create(HDC reference, int width, int height) {
    Reset();
    m_dc.Reset(::CreateCompatibleDC(reference));
    m_bitmap.Reset(::CreateCompatibleBitmap(reference, width, height));
    if (!m_dc || !m_bitmap) {
      Reset();
      return false;
    }
    m_select.emplace(m_dc.Get(), m_bitmap.Get());
    m_width = width;
    m_height = height;
    return true;
  }
  void Reset() {
    m_select.reset();
    m_bitmap.Reset();
    m_dc.Reset();
    m_width = m_height = 0;
  }
  bool Valid() const { return m_select.has_value(); }
  HDC Dc() const { return m_dc.Get(); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

 private:
  CMemDC m_dc;
  CBitmap m_bitmap;
  std::optional<CSelectObject> m_select;
  int m_width = 0, m_height = 0;
};

}  // namespace pv::effects
