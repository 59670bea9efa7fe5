// The minutes box and the timer page on real Win32 windows under Wine: the
// step keys and the focus-loss notice of the box, and the page's hand-over
// to a link whose lock is held by a stuck worker.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "framework/window_class.h"
#include "framework/wnd.h"
#include "link/core/hid_link.h"
#include "link/core/link_messages.h"
#include "resources/resource_ids.h"
#include "settings/win32/reg_keys.h"
#include "tests/host/link/link_internals.h"
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/page_host.h"
#include "ui/mainwindow/win32/timer_page.h"
#include "ui/skin/win32/picture_cache.h"
#include "ui/skin/win32/timer_edit.h"

using pv::settings::SettingId;

namespace pv::mainwindow::test {
namespace {

// A parent window that offers its messages to a timer page, like the main window.
class CParentWnd : public CWnd {
 public:
  IMessageHandler* handler = nullptr;
  int editDoneNotices = 0;

  bool Create() {
    const std::wstring cls = RegisterWndClass(0);
    return CreateEx(WS_EX_TOOLWINDOW, cls.c_str(), L"timer page test", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                    nullptr);
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (LRESULT result = 0; handler != nullptr && handler->HandleMessage(msg, wp, lp, result)) return result;
    if (msg == UM_TIMER_EDIT_DONE) {
      ++editDoneNotices;
      return 1;
    }
    return CWnd::WindowProc(msg, wp, lp);
  }
};

HWND CreateBox(HWND parent) {
  return ::CreateWindowExW(WS_EX_STATICEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_NUMBER | ES_CENTER, 10,
                           10, 42, 20, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TIMER_EDIT)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  do {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  } while (::GetTickCount() - start < ms);
}

template <typename Predicate>
bool PumpUntil(Predicate done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    Pump(10);
  }
  return true;
}

// ---------------------------------------------------------------- the box

struct KeyCase {
  const wchar_t* before;
  WPARAM key;
  const wchar_t* after;
};

TEST(TimerEdit, StepKeysSetTheTextTheParentThenSees) {
  CParentWnd parent;
  ASSERT_TRUE(parent.Create());
  pv::skin::CTimerEdit box(UM_TIMER_EDIT_DONE);
  ASSERT_TRUE(box.SubclassWindow(CreateBox(parent.GetSafeHwnd())));
  const KeyCase cases[] = {
      {L"199", VK_UP, L"200"},    {L"199", VK_DOWN, L"198"},  {L"1", VK_DOWN, L"0"},
      {L"199", VK_PRIOR, L"199"}, {L"195", VK_PRIOR, L"199"}, {L"5", VK_NEXT, L"0"},
      {L"40", VK_NEXT, L"30"},    {L"0", VK_UP, L"0"},        {L"40", VK_LEFT, L"40"},
  };
  for (const KeyCase& c : cases) {
    box.SetWindowText(c.before);
    box.SendMessage(WM_KEYDOWN, c.key, 0);
    EXPECT_EQ(box.GetWindowText(), c.after) << "from " << static_cast<int>(c.key);
  }
  // After a plain step the caret waits behind the digits, ready for typing.
  box.SetWindowText(L"40");
  box.SendMessage(WM_KEYDOWN, VK_UP, 0);
  DWORD start = 0, end = 0;
  box.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 2u);
}

TEST(TimerEdit, DigitsOnlyAndItsColoursOnRequest) {
  CParentWnd parent;
  ASSERT_TRUE(parent.Create());
  pv::skin::CTimerEdit box(UM_TIMER_EDIT_DONE);
  ASSERT_TRUE(box.SubclassWindow(CreateBox(parent.GetSafeHwnd())));
  box.SendMessage(WM_CHAR, L'4');
  box.SendMessage(WM_CHAR, L'x');
  box.SendMessage(WM_CHAR, L'2');
  EXPECT_EQ(box.GetWindowText(), L"42");

  box.SetTextColor(pv::skin::CTimerEdit::kYellow);
  HDC dc = ::GetDC(box.GetSafeHwnd());
  const LRESULT brush = parent.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(box.GetSafeHwnd()));
  EXPECT_NE(brush, 0);
  EXPECT_EQ(::GetTextColor(dc), pv::skin::CTimerEdit::kYellow);
  EXPECT_EQ(::GetBkColor(dc), pv::skin::CTimerEdit::kGrey);
  ::ReleaseDC(box.GetSafeHwnd(), dc);
}

TEST(TimerEdit, LosingTheFocusPostsOneNotice) {
  CParentWnd parent;
  ASSERT_TRUE(parent.Create());
  pv::skin::CTimerEdit box(UM_TIMER_EDIT_DONE);
  ASSERT_TRUE(box.SubclassWindow(CreateBox(parent.GetSafeHwnd())));
  HWND other = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 100, 10, 40, 20,
                                 parent.GetSafeHwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::SetForegroundWindow(parent.GetSafeHwnd());
  ::SetFocus(box.GetSafeHwnd());
  Pump(50);
  ASSERT_EQ(::GetFocus(), box.GetSafeHwnd());
  parent.editDoneNotices = 0;
  ::SetFocus(other);
  Pump(100);
  EXPECT_EQ(parent.editDoneNotices, 1);
}

// ---------------------------------------------------------------- the page

// The main window as the page sees it: the parent window and a page mode the
// test sets.
class FakePageHost final : public pv::mainwindow::PageHost {
 public:
  explicit FakePageHost(CWnd& window) : m_window(window) {}
  CWnd& Window() override { return m_window; }
  pv::mainwindow::PageMode Mode() const override { return mode; }
  pv::skin::CPictureCache& Pictures() override { return pictures; }
  bool LangZh() const override { return false; }
  void RunUpdateCheck() override { ADD_FAILURE() << "the timer page has no update link"; }

  pv::mainwindow::PageMode mode = pv::mainwindow::MODE_READY;
  pv::skin::CPictureCache pictures;

 private:
  CWnd& m_window;
};

class TimerPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.Create());
    ASSERT_NE(CreateBox(parent.GetSafeHwnd()), nullptr);
    page.InitControls();
    ASSERT_NE(box.GetSafeHwnd(), nullptr);
    parent.handler = &page;
    pv::settings::CRegKeys::Save(SettingId::kTimerOn, 0);
    pv::settings::CRegKeys::Save(SettingId::kTimerTime, 900);
    StopLinkTimer();
  }
  void TearDown() override {
    parent.handler = nullptr;
    StopLinkTimer();
  }

  void StopLinkTimer() {
    // Also withdraws an alert.
    ASSERT_TRUE(link.TryStartTimer(false, 1, 0, std::chrono::seconds(5)));
  }

  static std::int64_t StoredStart() {
    const auto low = pv::settings::CRegKeys::Load(SettingId::kTimerStartL).value;
    const auto high = pv::settings::CRegKeys::Load(SettingId::kTimerStartH).value;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
  }

  CParentWnd parent;
  FakePageHost host{parent};
  // A link whose worker never runs: the test plays the worker's part.
  pv::link::CHidLink link;
  pv::link::test::LinkInternals internals{link};
  CTimerPage page{host, 0, link};
  pv::skin::CTimerEdit& box = page.Box();
};

// A worker stuck in a write to a receiver that does not answer keeps the
// link's lock. The window must not hang on it: the switch is stored at once
// and reaches the link, with the start of the click, once the lock is free.
TEST_F(TimerPageTest, AStuckLinkDoesNotHangTheWindowAndGetsTheTimerLater) {
  page.LoadTimerPage();
  ASSERT_TRUE(page.Ready());
  EXPECT_EQ(box.GetWindowText(), L"15");

  std::mutex m;
  std::condition_variable cv;
  bool held = false, release = false;
  std::thread worker([&] {
    std::lock_guard stuck(internals.m_hMutex);
    {
      std::lock_guard g(m);
      held = true;
    }
    cv.notify_all();
    std::unique_lock g(m);
    cv.wait(g, [&] { return release; });
  });
  {
    std::unique_lock g(m);
    cv.wait(g, [&] { return held; });
  }

  const auto before = std::chrono::steady_clock::now();
  page.OnSwitchClick();
  const auto waited = std::chrono::steady_clock::now() - before;
  std::printf("switch click with the link's lock held returned after %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count()));
  EXPECT_TRUE(page.On());
  EXPECT_EQ(pv::settings::CRegKeys::Load(SettingId::kTimerOn).value, 1u);
  EXPECT_EQ(pv::settings::CRegKeys::Load(SettingId::kTimerTime).value, 900u);
  const std::int64_t clickedAt = StoredStart();
  EXPECT_EQ(internals.m_bTimerRunning.load(), 0) << "the link was changed without its lock";

  Pump(600);  // retries while the lock is still held change nothing
  EXPECT_EQ(internals.m_bTimerRunning.load(), 0);

  {
    std::lock_guard g(m);
    release = true;
  }
  cv.notify_all();
  worker.join();
  ASSERT_TRUE(PumpUntil([&] { return internals.m_bTimerRunning.load() != 0; }, 3000))
      << "the timer never reached the link";
  EXPECT_EQ(internals.m_timerSeconds.load(), 900u);
  EXPECT_EQ(internals.m_timerStart.load(), clickedAt);
}

// The expiry notice is posted before the link clears its timer, and any
// process can post it: it switches the page off only once the link's timer
// has actually stopped.
TEST_F(TimerPageTest, TheDueNoticeSwitchesOffOnlyATimerThatEnded) {
  page.LoadTimerPage();
  page.OnSwitchClick();
  ASSERT_TRUE(page.On());
  ASSERT_TRUE(PumpUntil([&] { return internals.m_bTimerRunning.load() != 0; }, 1000));

  parent.SendMessage(pv::link::UM_LINK_TIMER_DUE);
  EXPECT_TRUE(page.On()) << "a running timer was switched off by a stray notice";
  EXPECT_TRUE(::IsWindowVisible(box.GetSafeHwnd()));

  StopLinkTimer();  // as the link's expiry check does
  parent.SendMessage(pv::link::UM_LINK_TIMER_DUE);
  EXPECT_FALSE(page.On());
  EXPECT_FALSE(::IsWindowVisible(box.GetSafeHwnd()));
  // The box held the duration: the setting stays as it was until the next load.
  EXPECT_EQ(pv::settings::CRegKeys::Load(SettingId::kTimerOn).value, 1u);
}

// The time ran out while the remote was out of reach; when it comes back the
// page loads again and finds the stored timer ended. The remote must still
// get the alert it has not seen yet.
TEST_F(TimerPageTest, LoadingAfterAnUnseenExpiryKeepsTheAlertForTheRemote) {
  const std::int64_t longAgo = 1'000'000'000;  // 2001
  pv::settings::CRegKeys::Save(SettingId::kTimerOn, 1);
  pv::settings::CRegKeys::Save(SettingId::kTimerTime, 900);
  pv::settings::CRegKeys::Save(SettingId::kTimerStartL, static_cast<std::uint32_t>(longAgo));
  pv::settings::CRegKeys::Save(SettingId::kTimerStartH, 0);
  internals.m_bTimerAlert = 1;  // as the link's expiry check leaves it

  page.LoadTimerPage();
  EXPECT_FALSE(page.On());
  EXPECT_EQ(pv::settings::CRegKeys::Load(SettingId::kTimerOn).value, 0u);
  EXPECT_GT(StoredStart(), longAgo);  // stored as off with a start of now
  EXPECT_EQ(internals.m_bTimerAlert.load(), 1) << "the load withdrew the remote's alert";
  EXPECT_EQ(internals.m_bTimerRunning.load(), 0);
}

// A link whose timer runs while the settings say off is stopped by the load.
TEST_F(TimerPageTest, LoadingStoredOffStopsARunningLinkTimer) {
  ASSERT_TRUE(link.TryStartTimer(true, 1'000'000'000, 600, std::chrono::seconds(5)));
  page.LoadTimerPage();
  EXPECT_EQ(internals.m_bTimerRunning.load(), 0);
}

// The switch reacts on the "plug in the receiver" page too, where the box
// would stand over a picture that has no frame for it.
TEST_F(TimerPageTest, TheBoxShowsOnTheSettingsPageOnly) {
  page.LoadTimerPage();
  host.mode = pv::mainwindow::MODE_NOT_READY;
  page.OnSwitchClick();
  EXPECT_TRUE(page.On());
  EXPECT_FALSE(::IsWindowVisible(box.GetSafeHwnd()));
  host.mode = pv::mainwindow::MODE_READY;
  page.OnSwitchClick();
  page.OnSwitchClick();
  EXPECT_TRUE(page.On());
  EXPECT_TRUE(::IsWindowVisible(box.GetSafeHwnd()));
}

TEST_F(TimerPageTest, TypedValuesAreCorrectedInTheBoxAndTakenOverOnDone) {
  page.LoadTimerPage();
  box.SetWindowText(L"250");
  EXPECT_EQ(box.GetWindowText(), L"199");
  DWORD start = 0, end = 0;
  box.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(box.TextColor(), pv::skin::CTimerEdit::kWhite);
  EXPECT_EQ(pv::settings::CRegKeys::Load(SettingId::kTimerTime).value, 900u) << "stored while typing";

  box.SetWindowText(L"007");
  EXPECT_EQ(box.GetWindowText(), L"7");
  parent.SendMessage(UM_TIMER_EDIT_DONE);
  EXPECT_EQ(pv::settings::CRegKeys::Load(SettingId::kTimerTime).value, 420u);
  EXPECT_EQ(page.DurationSeconds(), 420u);
  EXPECT_EQ(box.TextColor(), pv::skin::CTimerEdit::kYellow);
}

}  // namespace
}  // namespace pv::mainwindow::test
