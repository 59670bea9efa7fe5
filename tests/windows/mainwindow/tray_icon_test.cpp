// The tray icon against Wine's real notification area, with the shell call
// behind a port that refuses the first adds, as the shell does at logon
// before its notification area is ready.
#include "ui/mainwindow/win32/tray_icon.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "ui/mainwindow/core/window_messages.h"

namespace pv::mainwindow::test {
namespace {

// A hidden window that offers its messages to the tray icon, as the main
// window does (its retry timer arrives here).
class TrayWindow {
 public:
  explicit TrayWindow(CTrayIcon*& tray) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TrayWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PvTrayIconTest";
    ::RegisterClassW(&wc);
    m_hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, wc.hInstance, &tray);
  }
  ~TrayWindow() {
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
  }
  HWND hwnd() const { return m_hwnd; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto** tray = reinterpret_cast<CTrayIcon**>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (tray != nullptr && *tray != nullptr) {
      if (LRESULT result = 0; (*tray)->HandleMessage(msg, wp, lp, result)) return result;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
  HWND m_hwnd = nullptr;
};

class TrayIconTest : public ::testing::Test {
 protected:
  TrayIconTest() {
    record.cbSize = sizeof(record);
    record.hWnd = window.hwnd();
    record.uID = pv::mainwindow::kTrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = pv::mainwindow::UM_TRAY_NOTIFY;
    record.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    SetTip(L"Presenter Vela\n(No Dongle)");
    trayPtr = &tray;
  }
  ~TrayIconTest() override {
    tray.Remove();
    trayPtr = nullptr;
  }

  void SetTip(const wchar_t* tip) { std::wcsncpy(record.szTip, tip, std::size(record.szTip) - 1); }

  // Whether Wine's notification area holds our icon: only a present icon
  // can be modified.
  bool IconInTray() {
    NOTIFYICONDATAW probe = record;
    probe.uFlags = NIF_TIP;
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
  }

  // Runs the window's messages until `done`, at most `ms`.
  template <typename Done>
  bool PumpUntil(Done done, DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < ms) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    return done();
  }

  // The shell, refusing the first `refusals` adds; every call is recorded.
  BOOL Notify(DWORD message, PNOTIFYICONDATAW data) {
    if (message == NIM_ADD) {
      ++adds;
      if (refusals > 0) {
        --refusals;
        return FALSE;
      }
      lastAddedTip = data->szTip;
    }
    if (message == NIM_MODIFY) ++modifies;
    return ::Shell_NotifyIconW(message, data);
  }

  CTrayIcon* trayPtr = nullptr;
  TrayWindow window{trayPtr};
  NOTIFYICONDATAW record{};
  int refusals = 0;
  int adds = 0;
  int modifies = 0;
  std::wstring lastAddedTip;
  CTrayIcon tray{record, [this](DWORD m, PNOTIFYICONDATAW d) { return Notify(m, d); }};
};

TEST_F(TrayIconTest, RefusedAddsAreRetriedOnTheTimerUntilTheIconIsThere) {
  ASSERT_NE(window.hwnd(), nullptr);
  tray.Attach(window.hwnd());
  refusals = 2;
  tray.Add();
  EXPECT_FALSE(tray.Shown());
  EXPECT_FALSE(IconInTray());
  // The link came up meanwhile: the icon that lands carries the new tooltip.
  SetTip(L"Presenter Vela");
  tray.Update();
  EXPECT_TRUE(PumpUntil([&] { return tray.Shown(); }, 6000)) << adds << " adds";
  EXPECT_EQ(adds, 3);
  EXPECT_TRUE(IconInTray());
  EXPECT_EQ(lastAddedTip, L"Presenter Vela");
  // No further retry once it is there.
  const int addsWhenShown = adds;
  PumpUntil([] { return false; }, 1200);
  EXPECT_EQ(adds, addsWhenShown);

  tray.Remove();
  EXPECT_FALSE(IconInTray());
}

TEST_F(TrayIconTest, AModifyOfAnIconTheShellLostAddsItAgain) {
  tray.Attach(window.hwnd());
  tray.Add();
  ASSERT_TRUE(tray.Shown());
  // The shell lost the icon without telling us.
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &record));
  ASSERT_FALSE(IconInTray());
  SetTip(L"Presenter Vela\n( RF Disconnect)");
  tray.Update();
  EXPECT_TRUE(IconInTray());
  EXPECT_EQ(adds, 2);
  EXPECT_EQ(lastAddedTip, L"Presenter Vela\n( RF Disconnect)");
}

}  // namespace
}  // namespace pv::mainwindow::test
