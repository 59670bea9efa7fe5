// A test dialog on the template of framework_test.rc whose behaviour each
// test scripts with small functions, and an edit wrapper that records what
// reaches it.
#pragma once

#include <functional>
#include <vector>

#include "framework/dialog.h"
#include "framework/edit_ctrl.h"
#include "tests/windows/framework/framework_test_ids.h"

class CProbeEdit : public CEdit {
 public:
  std::vector<UINT> preTranslated;
  std::vector<UINT> reflected;  // WM_REFLECT_BASE + message
  HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));

  BOOL PreTranslateMessage(MSG* msg) override {
    preTranslated.push_back(msg->message);
    return FALSE;
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_REFLECT_BASE + WM_CTLCOLOREDIT:
        reflected.push_back(msg);
        return reinterpret_cast<LRESULT>(brush);
      case WM_REFLECT_BASE + WM_COMMAND:
        reflected.push_back(msg);
        return 1;
    }
    return CEdit::WindowProc(msg, wp, lp);
  }
};

class CScriptDlg : public CDialog {
 public:
  explicit CScriptDlg(HWND owner = nullptr) : CDialog(IDD_TEST_DIALOG, owner) {}

  std::function<void(CScriptDlg&)> onInit;
  std::function<BOOL(CScriptDlg&, MSG*)> preTranslate;
  // Messages of the dialog itself; true = handled.
  std::function<bool(CScriptDlg&, UINT, WPARAM, LPARAM)> onMessage;

  bool initRan = false, okRan = false, cancelRan = false;
  HWND hwndAtInit = nullptr;
  CProbeEdit edit;

  void ShowOnFirstIdle(bool show) { m_showOnFirstIdle = show; }
  HWND Edit() const { return GetDlgItem(IDC_TEST_EDIT); }

  BOOL PreTranslateMessage(MSG* msg) override {
    return preTranslate ? preTranslate(*this, msg) : CDialog::PreTranslateMessage(msg);
  }

 protected:
  BOOL OnInitDialog() override {
    initRan = true;
    hwndAtInit = m_hWnd;
    edit.SubclassDlgItem(IDC_TEST_EDIT, m_hWnd);
    if (onInit) onInit(*this);
    return TRUE;
  }
  void OnOK() override {
    okRan = true;
    CDialog::OnOK();
  }
  void OnCancel() override {
    cancelRan = true;
    CDialog::OnCancel();
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (onMessage && onMessage(*this, msg, wp, lp)) return 0;
    return CDialog::WindowProc(msg, wp, lp);
  }
};
