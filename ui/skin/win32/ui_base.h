// UIBase: drawing of the program's PNG pictures (resources of type "PNG",
// addressed by number) onto a device context. A stateless mix-in: every
// operation is static, decodes the resource anew and keeps nothing.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

namespace pv::skin {

class UIBase {
 public:
  // Decodes PNG resource `id` of the executable into `target`: a top-down
  // DIB section of 32 bits per pixel (blue, green, red, alpha; colours
  // premultiplied by alpha) for pictures with alpha, of 24 bits otherwise.
  // FALSE, with `target` left empty, when the resource is missing or undecodable.
  static BOOL LoadPng(CBitmap& target, UINT id);

  // Draws PNG resource `id` unscaled with its top-left corner at (x, y):
  // alpha-blended when it has alpha, copied opaque otherwise. Draws nothing
  // when the resource cannot be loaded.
  static void DrawPng(HDC dc, UINT id, int x, int y);

  // (0, 0, width, height) of PNG resource `id` and TRUE; (0, 0, 0, 0) and
  // FALSE when it cannot be loaded (or `out` is null).
  static BOOL GetPngRect(UINT id, RECT* out);

  // Darkens rectangle `r` of `dc` (dc coordinates): RGB(50, 50, 50) blended
  // over it at 63/255, so white becomes about 204 and black about 12.
  static void DimRect(HDC dc, RECT r);
};

}  // namespace pv::skin
