// CMaskWnd: the invisible shield under an effect. White at an opacity of 1
// of 255 over the virtual screen: nothing of it can be seen, but it takes
// every click that misses the effect window (and swallows it) and keeps the
// pointer hidden all over the screen.
#pragma once

#include "effects/win32/overlay_wnd.h"

namespace pv::effects {

class CMaskWnd : public COverlayWnd {
 public:
  bool CreateOverlay(HWND owner, const PixelRect& virtualScreen);
  void Show(const PixelRect& virtualScreen);

 protected:
  void OnPaint(HDC dc) override;
  void OnDisplayChange() override;
};

}  // namespace pv::effects
