// COverlayWnd: what the effect windows share. Each is a layered tool window
// that never takes the keyboard from the application being presented: it is
// created hidden, is shown and moved without activation, and a click on it
// is swallowed and leaves (or gives back) the foreground to the window that
// was in front when the overlay was last shown or hidden.
#pragma once

#include <windows.h>

#include "framework/core/pixel_geometry.h"
#include "framework/wnd.h"

namespace pv::effects {

// The virtual screen (every monitor), which may begin at negative coordinates.
PixelRect CurrentVirtualScreen();

class COverlayWnd : public CWnd {
 public:
  // The window's extended styles besides the shared ones.
  struct Style {
    DWORD extraExStyle = WS_EX_NOACTIVATE | WS_EX_TOPMOST;
    bool swallowKeys = true;  // WM_KEYDOWN gets no default processing
    // Whether the window hides and shows with its owner's minimise and
    // restore (Windows sends every owned popup WM_SHOWWINDOW with
    // SW_PARENTCLOSING / SW_PARENTOPENING). Effect windows never do: only
    // the effect controller shows and hides them.
    bool followsOwner = false;
  };

  // Creates the window once, hidden, over `rect` (screen coordinates), owned
  // by `owner`. A second call does nothing and returns true.
  bool CreateOverlay(HWND owner, const PixelRect& rect, const Style& style);
  bool Created() const { return m_hWnd != nullptr; }

  // Whether the overlay is on: set by the derived window's show, cleared by
  // Hide. This is the one record of it: the effect controller asks for it
  // through its port (CEffectWindows) and keeps no copy.
  bool Visible() const { return m_visible; }

  // Hides the window without activating another one and clears the flag.
  void Hide();

 protected:
  // Shows the window at `rect` above the other top-most windows, without
  // activation; `flags` are added to SetWindowPos (e.g. SWP_NOREDRAW).
  void ShowAt(const PixelRect& rect, UINT flags);
  // Remembers the foreground window, given back on a click.
  void SaveForeground() { m_prevForeground = ::GetForegroundWindow(); }
  HWND SavedForeground() const { return m_prevForeground; }

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // WM_PAINT of the derived window; the default validates the window.
  virtual void OnPaint(HDC dc) { (void)dc; }
  // WM_MOUSEACTIVATE: gives the foreground back to the saved window.
  virtual void OnMouseActivate();
  // WM_DISPLAYCHANGE (a monitor plugged in or out, a new resolution): the
  // windows that cover the virtual screen cover the new one.
  virtual void OnDisplayChange() {}

  // See Visible(). The spotlight, the lens and the circle set it in their
  // Show also when their window could not be created, so the controller's
  // rules (latch, movement count, key and size rules) run the same with or
  // without the window; the mask and the black screen only with a window.
  bool m_visible = false;

 private:
  HWND m_prevForeground = nullptr;
  bool m_swallowKeys = true;
  bool m_followsOwner = false;
};

}  // namespace pv::effects
