// CBlackWnd: the black screen. Opaque black over the whole virtual screen,
// above every other window, with the taskbar and the pointer hidden. A click
// on it or a key released on it asks the main window to end it (the toggle
// request UM_LINK_KEYS (4, 0)).
#pragma once

#include "effects/win32/overlay_wnd.h"

namespace pv::effects {

// The taskbars: the window of class "Shell_TrayWnd" and those of class
// "Shell_SecondaryTrayWnd" (other monitors); shown without activation, and
// asynchronously (they belong to the shell's thread).
void ShowTaskbar(bool show);

class CBlackWnd : public COverlayWnd {
 public:
  ~CBlackWnd() override;

  // Creates the black screen hidden, owned by `owner`, and shows the
  // taskbar, so that a taskbar left hidden by an earlier run comes back at
  // every start. `mainWindow` receives the close request.
  bool CreateOverlay(HWND owner, HWND mainWindow, const PixelRect& virtualScreen);

  void ShowBlack(const PixelRect& virtualScreen);
  void HideBlack();
  bool Shown() const { return m_visible; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnPaint(HDC dc) override;
  void OnDisplayChange() override;

 private:
  void RequestClose() const;

  HWND m_mainWindow = nullptr;
};

}  // namespace pv::effects
