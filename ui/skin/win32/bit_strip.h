// CBitStrip: one PNG picture decoded once and kept selected in its own memory
// DC, optionally cut into equal frames (a strip). Buttons draw one frame per
// state from it; sliders copy parts of their channel pictures from it.
#pragma once

#include <windows.h>

#include "framework/gdi.h"
#include "ui/skin/core/strip_geometry.h"

namespace pv::skin {

class CBitStrip {
 public:
  // 0 for a frame dimension means the whole picture. A picture that cannot be
  // loaded gives a strip with no frames that draws nothing.
  CBitStrip(UINT pngId, int frameWidth, int frameHeight);

  // Source rectangle of frame `index` in the picture; FALSE (out untouched)
  // when out is null or index is not 0 .. frame count - 1.
  BOOL GetFrameRect(RECT* out, int index) const;
  // Frame `index` unscaled at (0, 0) of dc, alpha-blended (opaque for a
  // picture without alpha). FALSE for a null dc or a frame it does not have.
  BOOL DrawFrame(HDC dc, int index) const { return DrawFrameAt(dc, index, 0, 0); }
  // The same with the frame's top-left corner at (x, y) of dc.
  BOOL DrawFrameAt(HDC dc, int index, int x, int y) const;
  // Opaque copy of the cx x cy area at (srcX, srcY) of the picture to (x, y)
  // of dc; cx = 0 / cy = 0 mean the picture's width / height.
  BOOL Blit(HDC dc, int x, int y, int cx, int cy, int srcX, int srcY) const;
  // The same area blended with the picture's alpha (opaque without alpha).
  BOOL Blend(HDC dc, int x, int y, int cx, int cy, int srcX, int srcY) const;

  UINT GetFrameCount() const { return m_geometry.frameCount; }
  int GetFrameWidth() const { return m_geometry.frameWidth; }
  int GetFrameHeight() const { return m_geometry.frameHeight; }
  bool IsVertical() const { return m_geometry.vertical; }
  // Width, height and depth of the decoded picture (all 0 when not loaded).
  const BITMAP& GetBitmapInfo() const { return m_bm; }

 private:
  // Declared in this order so that destruction selects the bitmap out, then
  // deletes the DC, then the bitmap.
  CBitmap m_bitmap;
  CMemDC m_dc;
  CSelectObject m_select;
  BITMAP m_bm{};
  bool m_bAlpha = false;
  pv::skin::StripGeometry m_geometry;
};

}  // namespace pv::skin
