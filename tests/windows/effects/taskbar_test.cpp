// The black screen hides every taskbar (the primary one and those of the
// other monitors) and brings them back, without waiting for the shell: the
// taskbars here belong to a stand-in shell thread that can hang, as a real
// shell may, and a hung shell must not hang the program.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "framework/kernel_handles.h"
#include "tests/windows/effects/overlay_fixture.h"

namespace pv::effects::test {
namespace {

// The shell's thread with a primary and two secondary taskbars. While hung
// it handles no messages, for at most kHangMs.
class StandInShell {
 public:
  static constexpr DWORD kHangMs = 4000;

  StandInShell() {
    m_thread = std::thread([this] { Run(); });
    ::WaitForSingleObject(m_ready.Get(), 5000);
  }
  ~StandInShell() {
    ::SetEvent(m_release.Get());
    m_quit = true;
    if (m_threadId != 0) ::PostThreadMessageW(m_threadId, WM_NULL, 0, 0);
    m_thread.join();
  }

  const std::vector<HWND>& Taskbars() const { return m_taskbars; }
  bool AllVisible(bool visible) const {
    for (HWND t : m_taskbars) {
      if ((::IsWindowVisible(t) != FALSE) != visible) return false;
    }
    return !m_taskbars.empty();
  }

  // Stops handling messages until Release (or kHangMs).
  void Hang() {
    ::ResetEvent(m_release.Get());
    ::ResetEvent(m_hung.Get());
    m_hangTimedOut = false;
    ::PostThreadMessageW(m_threadId, kHangMessage, 0, 0);
    ::WaitForSingleObject(m_hung.Get(), 5000);
  }
  void Release() { ::SetEvent(m_release.Get()); }
  // The hang ended by itself: whoever waited for the shell waited all along.
  bool HangTimedOut() const { return m_hangTimedOut; }

 private:
  static constexpr UINT kHangMessage = WM_APP + 1;

  void Run() {
    m_threadId = ::GetCurrentThreadId();
    for (const wchar_t* cls : {L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"Shell_SecondaryTrayWnd"}) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.lpszClassName = cls;
      ::RegisterClassW(&wc);
      HWND w = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, cls, L"", WS_POPUP, 0, 1040, 300, 40,
                                 nullptr, nullptr, nullptr, nullptr);
      ::ShowWindow(w, SW_SHOWNOACTIVATE);
      m_taskbars.push_back(w);
    }
    ::SetEvent(m_ready.Get());
    MSG msg;
    while (!m_quit && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.hwnd == nullptr && msg.message == kHangMessage) {
        ::SetEvent(m_hung.Get());
        m_hangTimedOut = ::WaitForSingleObject(m_release.Get(), kHangMs) == WAIT_TIMEOUT;
        continue;
      }
      ::DispatchMessageW(&msg);
    }
    for (HWND w : m_taskbars) ::DestroyWindow(w);
  }

  CHandle m_ready = CreateEventHandle(true, false);
  CHandle m_hung = CreateEventHandle(true, false);
  CHandle m_release = CreateEventHandle(true, false);
  std::atomic<bool> m_hangTimedOut{false};
  std::atomic<bool> m_quit{false};
  std::atomic<DWORD> m_threadId{0};
  std::vector<HWND> m_taskbars;
  std::thread m_thread;
};

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!done() && ::GetTickCount() - start < ms) Pump(20);
  return done();
}

TEST_F(OverlayTest, TheBlackScreenHidesEveryTaskbarAndNeverWaitsForAHungShell) {
  StandInShell shell;
  ASSERT_EQ(shell.Taskbars().size(), 3u);
  ASSERT_TRUE(shell.AllVisible(true));

  shell.Hang();
  m_windows.ShowBlack(m_screen);
  EXPECT_FALSE(shell.HangTimedOut()) << "showing the black screen waited for the hung shell";
  shell.Release();
  EXPECT_TRUE(WaitFor([&] { return shell.AllVisible(false); }, 3000)) << "a taskbar stays on show";
  EXPECT_TRUE(m_windows.BlackVisible());

  shell.Hang();
  m_windows.HideBlack();
  m_windows.ShowPointer();
  EXPECT_FALSE(shell.HangTimedOut()) << "ending the black screen waited for the hung shell";
  shell.Release();
  EXPECT_TRUE(WaitFor([&] { return shell.AllVisible(true); }, 3000)) << "a taskbar did not come back";
  EXPECT_FALSE(m_windows.BlackVisible());
}

}  // namespace
}  // namespace pv::effects::test
