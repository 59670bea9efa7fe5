// CEdit: the platform edit control, usually a control of a dialog template
// attached with SubclassDlgItem (the minutes box derives from it).
#pragma once

#include "framework/wnd.h"

class CEdit : public CWnd {
 public:
  void SetLimitText(UINT maxChars) { SendMessage(EM_LIMITTEXT, maxChars); }
  void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
  void SelectAll() { SetSel(0, -1); }
};
