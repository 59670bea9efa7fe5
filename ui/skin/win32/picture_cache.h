// The skin pictures a window draws again and again (page backgrounds,
// switches, symbols), each decoded the first time it is asked for and kept
// for the window's life, so a repaint costs blits, not PNG decoding.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "ui/skin/win32/bit_strip.h"

namespace pv::skin {

class CPictureCache {
 public:
  // The picture of PNG resource `id` as a one-frame strip; a picture that
  // cannot be loaded gives a strip that draws nothing and has size 0 x 0.
  const CBitStrip& Get(UINT id);

  // (0, 0, width, height) of the picture; FALSE and an empty rectangle when
  // it cannot be loaded.
  BOOL GetRect(UINT id, RECT* out);

  // The picture unscaled with its top-left corner at (x, y), per-pixel alpha.
  void Draw(HDC dc, UINT id, int x, int y);

  // The picture copied opaque to (0, 0) at its own size (a page background).
  void Copy(HDC dc, UINT id);

 private:
  std::map<UINT, std::unique_ptr<CBitStrip>> m_pictures;
};

}  // namespace pv::skin
