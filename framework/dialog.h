// CDialog: a modal dialog made from a dialog template of the executable.
//
//   class CMyDlg : public CDialog {
//    public:
//     CMyDlg(HWND owner) : CDialog(IDD_MY, owner) {}
//    protected:
//     BOOL OnInitDialog() override { ...; return TRUE; }
//     void OnOK() override { ...; CDialog::OnOK(); }
//     LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;  // the message switch
//   };
//   INT_PTR result = CMyDlg(owner).DoModal();
//
// The modal loop is our own, over CreateDialogParamW, rather than
// DialogBoxParamW: it is the only way to run PreTranslateMessage for every
// message of the loop without a thread-wide WH_MSGFILTER hook and a global
// table that maps the hook back to the running dialog. It keeps what
// DialogBox does: the owner is disabled while the dialog runs, the dialog is
// shown at the first idle moment if it is not visible (m_showOnFirstIdle),
// IsDialogMessage gives the keyboard interface (Tab, Enter = IDOK,
// Escape = IDCANCEL), and a WM_QUIT ends the loop and is posted again for the
// loop outside.
#pragma once

#include "framework/wnd.h"

class CDialog : public CWnd {
 public:
  CDialog(UINT templateId, HWND owner) : m_templateId(templateId), m_owner(owner) {}

  // Creates the dialog, runs its loop until EndDialog and destroys it.
  // Returns the EndDialog result, or -1 if the dialog could not be created.
  INT_PTR DoModal();

  // Ends the modal loop with `result` once the current message is handled.
  // May be called from OnInitDialog: the loop then never runs.
  void EndDialog(INT_PTR result);

  // The dialog's own hook; the loop first offers the message to the windows
  // between its target and the dialog (controls, then their parents).
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  // Return TRUE to let the system focus the first tab stop.
  virtual BOOL OnInitDialog() { return TRUE; }
  // Enter / the IDOK button; ends the dialog with IDOK.
  virtual void OnOK() { EndDialog(IDOK); }
  // Escape / the close box / the IDCANCEL button; ends the dialog with IDCANCEL.
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  // WM_INITDIALOG and the IDOK/IDCANCEL commands; derived switches pass on to it.
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalMessage() override;

  UINT m_templateId;
  HWND m_owner;
  // Show the dialog when the queue first runs empty if it is hidden, as
  // DialogBox does. A dialog that must start hidden clears it.
  bool m_showOnFirstIdle = true;

 private:
  static INT_PTR CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  bool PreTranslateInTree(MSG& msg);
  void EnableOwner();

  bool m_endRequested = false;
  bool m_ownerDisabled = false;
  INT_PTR m_result = -1;
};
