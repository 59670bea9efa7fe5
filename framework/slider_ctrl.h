// CSliderCtrl: the platform trackbar ("msctls_trackbar32"), usually a control
// of a dialog template attached with SubclassDlgItem. Derived classes (the
// skinned slider) replace its painting in their WindowProc.
#pragma once

#include "framework/wnd.h"

class CSliderCtrl : public CWnd {
 public:
  int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
  void SetPos(int pos) { SendMessage(TBM_SETPOS, TRUE, pos); }
  void SetRange(int minimum, int maximum, bool redraw = true) {
    SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
    SendMessage(TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
  }
  int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
  int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
  int SetLineSize(int size) { return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, size)); }
  int SetPageSize(int size) { return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, size)); }
  RECT GetThumbRect() const {
    RECT rect{};
    SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
  }
};
