// CTimerEdit: the small numeric box in which the user sets the presentation
// timer's minutes (control 1002 of the main window). A one-line edit control
// that paints its own colours to fit the skinned page, steps its number with
// the arrow and page keys (within 1 to 199) and tells its parent when it
// loses the focus, so the parent can take the value over. What the user
// types is checked by the parent.
#pragma once

#include <windows.h>

#include "framework/edit_ctrl.h"
#include "framework/gdi.h"

namespace pv::skin {

class CTimerEdit : public CEdit {
 public:
  static constexpr COLORREF kWhite = RGB(255, 255, 255);    // a value is being typed
  static constexpr COLORREF kYellow = RGB(255, 255, 0);     // the value has been taken over
  static constexpr COLORREF kGrey = RGB(0x78, 0x78, 0x78);  // background

  // doneMessage: posted (wparam 0, lparam 0) to the parent when the box
  // loses the focus.
  explicit CTimerEdit(UINT doneMessage) : m_doneMessage(doneMessage) {}

  // The colour of the digits; the box and the page behind it are redrawn.
  void SetTextColor(COLORREF colour);
  COLORREF TextColor() const { return m_textColor; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  LRESULT OnCtlColor(HDC dc);
  bool OnStepKey(WPARAM key);
  void RedrawInParent();

  UINT m_doneMessage;
  COLORREF m_textColor = kWhite;
  COLORREF m_bkColor = kGrey;
  CBrush m_bkBrush;  // solid brush of m_bkColor, made at the first paint
};

}  // namespace pv::skin
