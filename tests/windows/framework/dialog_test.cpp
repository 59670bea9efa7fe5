#include <gtest/gtest.h>

#include "framework/window_class.h"
#include "tests/windows/framework/script_dialog.h"

namespace pv::framework::test {
namespace {

constexpr UINT kScriptStep = WM_APP + 10;

TEST(Dialog, EndDialogInOnInitDialogReturnsItsCodeAtOnce) {
  CScriptDlg dlg;
  HWND editAtInit = nullptr;
  dlg.onInit = [&](CScriptDlg& d) {
    editAtInit = d.Edit();
    d.EndDialog(42);
  };
  EXPECT_EQ(dlg.DoModal(), 42);
  EXPECT_TRUE(dlg.initRan);
  EXPECT_NE(editAtInit, nullptr);  // the template's controls exist at initialisation
  EXPECT_FALSE(::IsWindow(dlg.hwndAtInit));
  EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST(Dialog, PreTranslateMessageSeesKeysForControlsFirstInTheControl) {
  CScriptDlg dlg;
  std::vector<MSG> seen;
  HWND edit = nullptr;
  dlg.onInit = [&](CScriptDlg& d) {
    edit = d.Edit();
    ::PostMessageW(edit, WM_KEYDOWN, VK_F5, 0);
  };
  dlg.preTranslate = [&](CScriptDlg& d, MSG* msg) -> BOOL {
    seen.push_back(*msg);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F5) {
      d.EndDialog(7);
      return TRUE;
    }
    return FALSE;
  };
  EXPECT_EQ(dlg.DoModal(), 7);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(seen.back().hwnd, edit);
  ASSERT_FALSE(dlg.edit.preTranslated.empty());  // the control's own hook ran too
  EXPECT_EQ(dlg.edit.preTranslated.back(), static_cast<UINT>(WM_KEYDOWN));
}

TEST(Dialog, EnterAndEscapeRunOnOkAndOnCancel) {
  struct Case {
    WPARAM key;
    INT_PTR result;
    bool ok, cancel;
  };
  for (const Case& c : {Case{VK_RETURN, IDOK, true, false}, Case{VK_ESCAPE, IDCANCEL, false, true}}) {
    CScriptDlg dlg;
    dlg.onInit = [&](CScriptDlg& d) { ::PostMessageW(d.Edit(), WM_KEYDOWN, c.key, 0); };
    EXPECT_EQ(dlg.DoModal(), c.result) << c.key;
    EXPECT_EQ(dlg.okRan, c.ok) << c.key;
    EXPECT_EQ(dlg.cancelRan, c.cancel) << c.key;
  }
}

TEST(Dialog, CloseBoxRunsOnCancel) {
  CScriptDlg dlg;
  dlg.onInit = [](CScriptDlg& d) { d.PostMessage(WM_CLOSE); };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(dlg.cancelRan);
}

TEST(Dialog, SwallowedMessagesAreNotDispatched) {
  CScriptDlg dlg;
  std::wstring text;
  dlg.onInit = [](CScriptDlg& d) {
    ::PostMessageW(d.Edit(), WM_CHAR, 'x', 0);
    ::PostMessageW(d.Edit(), WM_CHAR, 'y', 0);
    d.PostMessage(kScriptStep);
  };
  dlg.preTranslate = [](CScriptDlg&, MSG* msg) -> BOOL {
    return msg->message == WM_CHAR && msg->wParam == 'x';
  };
  dlg.onMessage = [&](CScriptDlg& d, UINT msg, WPARAM, LPARAM) {
    if (msg != kScriptStep) return false;
    text = d.edit.GetWindowText();
    d.EndDialog(1);
    return true;
  };
  EXPECT_EQ(dlg.DoModal(), 1);
  EXPECT_EQ(text, L"y");
}

class COwnerWnd : public CWnd {
 public:
  bool Create() {
    return CreateEx(0, RegisterWndClass(0).c_str(), L"owner", WS_POPUP, 0, 0, 10, 10, nullptr);
  }
};

// The owner is disabled while the dialog runs and enabled again after; the
// dialog is shown when the queue first runs empty unless it opted out.
TEST(Dialog, ModalLoopDisablesOwnerAndShowsDialogAtFirstIdle) {
  for (bool showOnIdle : {true, false}) {
    COwnerWnd owner;
    ASSERT_TRUE(owner.Create());
    CScriptDlg dlg(owner.GetSafeHwnd());
    dlg.ShowOnFirstIdle(showOnIdle);
    bool visible = !showOnIdle, ownerEnabled = true;
    dlg.onInit = [](CScriptDlg& d) { d.SetTimer(1, 30); };
    dlg.onMessage = [&](CScriptDlg& d, UINT msg, WPARAM, LPARAM) {
      if (msg != WM_TIMER) return false;
      d.KillTimer(1);
      visible = ::IsWindowVisible(d.GetSafeHwnd());
      ownerEnabled = ::IsWindowEnabled(owner.GetSafeHwnd());
      d.EndDialog(5);
      return true;
    };
    EXPECT_EQ(dlg.DoModal(), 5);
    EXPECT_EQ(visible, showOnIdle);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetSafeHwnd()));
  }
}

TEST(Dialog, QuitMessageEndsTheLoopAndIsPostedAgain) {
  CScriptDlg dlg;
  dlg.onInit = [](CScriptDlg&) { ::PostQuitMessage(3); };
  EXPECT_EQ(dlg.DoModal(), -1);
  MSG msg{};
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(Dialog, DialogDestroyedFromElsewhereEndsTheLoop) {
  CScriptDlg dlg;
  dlg.onInit = [](CScriptDlg& d) { d.PostMessage(kScriptStep); };
  dlg.onMessage = [](CScriptDlg& d, UINT msg, WPARAM, LPARAM) {
    if (msg == kScriptStep) d.DestroyWindow();
    return msg == kScriptStep;
  };
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_FALSE(::IsWindow(dlg.hwndAtInit));
}

TEST(Dialog, MissingTemplateFails) {
  CDialog dlg(12345, nullptr);
  EXPECT_EQ(dlg.DoModal(), -1);
}

}  // namespace
}  // namespace pv::framework::test
