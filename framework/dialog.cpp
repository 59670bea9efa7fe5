#include "framework/dialog.h"

INT_PTR CDialog::DoModal() {
  if (m_hWnd != nullptr) return -1;  // already running
  m_endRequested = false;
  m_result = -1;
  HWND wnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), m_owner,
                                  &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (wnd == nullptr) return -1;
  if (m_owner != nullptr && ::IsWindowEnabled(m_owner)) {
    ::EnableWindow(m_owner, FALSE);
    m_ownerDisabled = true;
  }

  bool showPending = m_showOnFirstIdle;
  MSG msg{};
  while (!m_endRequested && m_hWnd != nullptr) {
    if (showPending && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      showPending = false;
      if (!::IsWindowVisible(m_hWnd)) ShowWindow(SW_SHOWNORMAL);
      continue;
    }
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside this one
      break;
    }
    if (got == -1) break;
    if (PreTranslateInTree(msg) || ::IsDialogMessageW(m_hWnd, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }

  EnableOwner();  // before the dialog goes, so activation returns to the owner
  if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
  return m_result;
}

void CDialog::EndDialog(INT_PTR result) {
  m_result = result;
  m_endRequested = true;
  EnableOwner();
  if (m_hWnd != nullptr) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CDialog::EnableOwner() {
  if (m_ownerDisabled) ::EnableWindow(m_owner, TRUE);
  m_ownerDisabled = false;
}

BOOL CDialog::PreTranslateMessage(MSG*) {
  return FALSE;
}

bool CDialog::PreTranslateInTree(MSG& msg) {
  // From the target up through its parents (owners, for popups) to the dialog.
  for (HWND wnd = msg.hwnd; wnd != nullptr && wnd != m_hWnd; wnd = ::GetParent(wnd)) {
    if (CWnd* object = FromHandle(wnd); object != nullptr && object->PreTranslateMessage(&msg)) return true;
  }
  return PreTranslateMessage(&msg) != FALSE;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == IDOK) {
        OnOK();
        return 0;
      }
      if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == IDCANCEL) {
        OnCancel();
        return 0;
      }
      break;
  }
  return CWnd::WindowProc(msg, wp, lp);
}

void CDialog::OnFinalMessage() {
  m_endRequested = true;  // destroyed from elsewhere: the loop must not wait for it
}

INT_PTR CALLBACK CDialog::DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Everything after WM_INITDIALOG reaches the object through its subclass,
  // which sits above the dialog manager; here only the first message is ours.
  if (msg != WM_INITDIALOG) return FALSE;
  auto* self = reinterpret_cast<CDialog*>(lp);
  if (self == nullptr || !self->Attach(wnd, true)) return FALSE;
  return self->WindowProc(msg, wp, lp);
}
