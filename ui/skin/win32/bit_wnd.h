// CBitWnd: a small child window drawn entirely from one frame of a CBitStrip,
// changing frame with the mouse (normal, hover, pressed). It reports clicks to
// its parent with WM_COMMAND and can pass its mouse messages on to the parent
// in the parent's coordinates, so that it can sit on top of another control
// (the slider thumb over its trackbar) without taking the mouse away from it.
// No keyboard, focus or disabled look, and it never captures the mouse.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/wnd.h"
#include "ui/skin/core/button_frames.h"
#include "ui/skin/win32/bit_strip.h"

namespace pv::skin {

class CBitWnd : public CWnd {
 public:
  // A visible child of `parent` with an empty rectangle and control id 0; the
  // owner sizes and places it. False when the class or window cannot be made.
  bool CreateChild(HWND parent);

  // The picture; the button shares it with its owner (the slider).
  void SetStrip(std::shared_ptr<const CBitStrip> strip) { m_strip = std::move(strip); }
  const CBitStrip* GetStrip() const { return m_strip.get(); }

  int GetFrame() const { return m_look.frame; }

  // The press ended somewhere the button did not see (its owner took the
  // mouse capture): back to hover or normal, and hover tracking re-armed.
  void EndPress();

  // Draws what lies behind the button into a DC of the button's size, so
  // the frame is blended over the right pixels whatever was on the screen.
  // Without it the frame is blended over the window's current pixels.
  std::function<void(HDC)> m_drawBehind;

  HCURSOR m_hCursor = nullptr;    // null: the button sets no cursor
  BOOL m_bToggle = FALSE;         // each press latches / unlatches
  BOOL m_bForwardMouse = FALSE;   // moves and button presses also go to the parent
  BOOL m_bCommandOnDown = FALSE;  // WM_COMMAND on press instead of release

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Apply(pv::skin::ButtonEvent event);
  void Draw(HDC dc) const;
  // Hover and leave notifications (hover after 1 ms); true when armed.
  bool TrackLeave();
  bool PointerIsOver() const;
  void SendCommand();
  void Forward(UINT msg, WPARAM keys, LPARAM point);
  std::uint32_t FrameCount() const { return m_strip ? m_strip->GetFrameCount() : 0; }

  std::shared_ptr<const CBitStrip> m_strip;
  pv::skin::ButtonLook m_look;
  bool m_bTracking = false;
};

}  // namespace pv::skin
