#include "framework/wnd.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/window_class.h"

namespace pv::framework::test {
namespace {

constexpr UINT kAskValue = WM_APP + 1;

// Records what its message switch sees; answers kAskValue itself and leaves
// everything else to the default processing.
class CRecordingWnd : public CWnd {
 public:
  std::vector<UINT> seen;
  bool finalMessage = false;

  bool Create() {
    const std::wstring cls = RegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    return CreateEx(WS_EX_TOOLWINDOW, cls.c_str(), L"recording", WS_POPUP, 0, 0, 50, 40, nullptr);
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    seen.push_back(msg);
    switch (msg) {
      case kAskValue:
        return static_cast<LRESULT>(wp * 2);
      case WM_TIMER:
        KillTimer(wp);
        return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
  }
  void OnFinalMessage() override { finalMessage = true; }
};

bool Saw(const CRecordingWnd& wnd, UINT msg) {
  for (UINT m : wnd.seen) {
    if (m == msg) return true;
  }
  return false;
}

TEST(Wnd, OwnClassWindowDispatchesToItsObjectFromCreateOn) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.Create());
  EXPECT_TRUE(Saw(wnd, WM_CREATE));
  EXPECT_FALSE(Saw(wnd, WM_NCCREATE));  // before the object is attached
  EXPECT_EQ(CWnd::FromHandle(wnd.GetSafeHwnd()), &wnd);
  EXPECT_EQ(wnd.SendMessage(kAskValue, 21), 42);
  // Unhandled messages get the default processing: the text is stored.
  wnd.SetWindowText(L"changed");
  EXPECT_EQ(wnd.GetWindowText(), L"changed");
  EXPECT_TRUE(Saw(wnd, WM_SETTEXT));
}

TEST(Wnd, TimerTicksReachTheObject) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.Create());
  ASSERT_NE(wnd.SetTimer(7, 10), 0u);
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (!Saw(wnd, WM_TIMER) && ::GetTickCount() - start < 2000) {
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::DispatchMessageW(&msg);
    } else {
      ::Sleep(5);
    }
  }
  EXPECT_TRUE(Saw(wnd, WM_TIMER));
}

TEST(Wnd, DestroyingTheWindowDetachesTheObject) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.Create());
  HWND hwnd = wnd.GetSafeHwnd();
  EXPECT_TRUE(wnd.DestroyWindow());
  EXPECT_TRUE(Saw(wnd, WM_DESTROY));
  EXPECT_TRUE(wnd.finalMessage);
  EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

TEST(Wnd, ObjectGoingOutOfScopeDestroysItsWindow) {
  HWND hwnd;
  {
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    hwnd = wnd.GetSafeHwnd();
  }
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(Wnd, SubclassedWindowOutlivesItsObject) {
  CRecordingWnd owner;
  ASSERT_TRUE(owner.Create());
  HWND button = ::CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD, 0, 0, 10, 10, owner.GetSafeHwnd(), nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  {
    CRecordingWnd wrapper;
    ASSERT_TRUE(wrapper.SubclassWindow(button));
    EXPECT_FALSE(wrapper.SubclassWindow(button));  // one object per window
    ::SetWindowTextW(button, L"x");
    EXPECT_TRUE(Saw(wrapper, WM_SETTEXT));
  }
  EXPECT_TRUE(::IsWindow(button));
  EXPECT_EQ(CWnd::FromHandle(button), nullptr);
  ::SetWindowTextW(button, L"after");  // the control still works on its own
  wchar_t text[16] = {};
  ::GetWindowTextW(button, text, 16);
  EXPECT_STREQ(text, L"after");
}

TEST(WindowClass, EqualRequestsShareOneClassAndOthersDoNot) {
  HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  const std::wstring a = RegisterWndClass(CS_DBLCLKS, arrow);
  const std::wstring b = RegisterWndClass(CS_DBLCLKS, arrow);
  const std::wstring c = RegisterWndClass(0, arrow, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  WNDCLASSEXW info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), c.c_str(), &info));
  EXPECT_EQ(info.hbrBackground, ::GetStockObject(BLACK_BRUSH));
  EXPECT_TRUE(RegisterNamedWndClass(L"PVTestOverlay", 0));
  EXPECT_TRUE(RegisterNamedWndClass(L"PVTestOverlay", 0));  // again: fine
}

}  // namespace
}  // namespace pv::framework::test
