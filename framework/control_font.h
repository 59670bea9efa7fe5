// A font for a control, made from the control's own font (face, weight,
// charset) at another height.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

// height is in LOGFONT's units: negative for the character height in pixels,
// positive for the cell height. The width follows the height (lfWidth 0).
// A control without a font of its own is taken as using DEFAULT_GUI_FONT.
inline CFont CreateFontSizedFromControl(HWND control, LONG height) {
  LOGFONTW font{};
  HFONT current = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  if (current == nullptr) current = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  ::GetObjectW(current, sizeof(font), &font);
  font.lfHeight = height;
  font.lfWidth = 0;
  return CFont(::CreateFontIndirectW(&font));
}
