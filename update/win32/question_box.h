// The messages of the version check and its question box. The question box
// is the platform's Yes/No/Cancel message box whose buttons get the
// program's own texts ("&Update", "&Esc", "&Download by IE" or the Chinese
// set) from a computer-based-training hook on this thread only, which
// removes itself as soon as the box is activated.
#pragma once

#include <windows.h>

#include "update/core/update_flow.h"

namespace pv::update::win32 {

// IDC_WAIT while the check talks to the server; the previous cursor comes
// back before any box is shown and at the end.
class CWaitCursor {
 public:
  CWaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~CWaitCursor() { Restore(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore() {
    if (m_active) ::SetCursor(m_previous);
    m_active = false;
  }

 private:
  HCURSOR m_previous;
  bool m_active = true;
};

class CCheckUi : public ICheckUi {
 public:
  CCheckUi(HWND owner, bool chineseUi, CWaitCursor& waitCursor)
      : owner_(owner), chineseUi_(chineseUi), waitCursor_(waitCursor) {}

  void ShowMessage(CheckMessage message) override;
  int AskToUpdate() override;

 private:
  HWND owner_;
  bool chineseUi_;
  CWaitCursor& waitCursor_;
};

// The caption of the program's plain message boxes: the executable's name.
std::wstring MessageCaption();

}  // namespace pv::update::win32
