// The main window's raw-input collaborator under Wine: real raw input from
// injected keys and mouse movement reaches the effect controller's rules, and
// messages any program can post are checked before anything reads them.
#include "ui/mainwindow/win32/effect_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/core/link_messages.h"
#include "tests/host/effects/fake_desktop.h"
#include "ui/mainwindow/core/window_messages.h"

namespace {

using pv::effects::test::FakeDesktop;

// A hidden top-level window that offers its messages to a CEffectInput, as
// the main window does, and receives raw input from every keyboard and mouse.
class RawInputWindow {
 public:
  explicit RawInputWindow(CEffectInput& input) : m_input(input) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &RawInputWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PvEffectInputTest";
    ::RegisterClassW(&wc);
    m_hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, wc.hInstance, this);
  }
  ~RawInputWindow() {
    if (m_registered) {
      RAWINPUTDEVICE devices[2] = {{1, 2, RIDEV_REMOVE, nullptr}, {1, 6, RIDEV_REMOVE, nullptr}};
      ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
    }
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
  }

  HWND hwnd() const { return m_hwnd; }
  bool RegisterRawInput() {
    RAWINPUTDEVICE devices[2] = {{1, 2, RIDEV_INPUTSINK, m_hwnd}, {1, 6, RIDEV_INPUTSINK, m_hwnd}};
    m_registered = ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE)) != FALSE;
    return m_registered;
  }
  // Messages that reached the default window procedure.
  int defaultInputs = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RawInputWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr) {
      if (LRESULT result = 0; self->m_input.HandleMessage(msg, wp, lp, result)) return result;
      if (msg == WM_INPUT) ++self->defaultInputs;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }

  CEffectInput& m_input;
  HWND m_hwnd = nullptr;
  bool m_registered = false;
};

// The application being presented: a visible window of this process in the
// foreground, so injected input has a live target whatever an earlier test
// process left in the foreground. Raw input still reaches the hidden window
// only through RIDEV_INPUTSINK.
class PresentationWindow {
 public:
  PresentationWindow() {
    m_hwnd = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"presentation", WS_POPUP | WS_VISIBLE, 200, 200, 80,
                               60, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_hwnd != nullptr) ::SetForegroundWindow(m_hwnd);
  }
  ~PresentationWindow() {
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
  }
  PresentationWindow(const PresentationWindow&) = delete;
  PresentationWindow& operator=(const PresentationWindow&) = delete;

 private:
  HWND m_hwnd = nullptr;
};

class EffectInputTest : public ::testing::Test {
 protected:
  EffectInputTest() { desktop.controller = &controller; }
  // Input injected by a case and not yet read is taken off the queue
  // before the window goes, so it cannot reach the next case.
  ~EffectInputTest() override {
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < 200) {
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      ::Sleep(10);
    }
  }

  // Runs the message loop until the desktop has seen `call`, at most 3 s.
  bool PumpUntilCalled(const std::string& call) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 3000) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      if (std::find(seen.begin(), seen.end(), call) != seen.end()) return true;
      for (std::string& c : desktop.Take()) seen.push_back(std::move(c));
    }
    return false;
  }

  std::string Seen() const {
    std::string all;
    for (const std::string& call : seen) all += call + "; ";
    return all;
  }

  static void Key(WORD vkey) {
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = vkey;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
  }

  pv::effects::EffectSettings settings;
  FakeDesktop desktop;
  pv::effects::EffectController controller{desktop, desktop, desktop, settings};
  CEffectInput input{controller};
  RawInputWindow window{input};
  PresentationWindow presentation;
  std::vector<std::string> seen;
};

TEST_F(EffectInputTest, RawKeysAndMouseReachTheRules) {
  ASSERT_NE(window.hwnd(), nullptr);
  ASSERT_TRUE(window.RegisterRawInput());

  // Escape typed anywhere hides a shown main window.
  desktop.mainWindowShown = true;
  Key(VK_F13);  // a key no rule names: nothing happens
  Key(VK_ESCAPE);
  EXPECT_TRUE(PumpUntilCalled("HideToTray"));

  // A key released anywhere ends the black screen.
  ::SendMessageW(window.hwnd(), pv::link::UM_LINK_KEYS, pv::link::ToWParam(pv::link::KeyEvent::kBlackScreen),
                 1);
  EXPECT_TRUE(desktop.blackShown);
  Key(VK_F14);
  EXPECT_TRUE(PumpUntilCalled("HideBlack")) << Seen();
  EXPECT_FALSE(desktop.blackShown);

  // Any mouse record speeds the tracking timer up and moves a shown effect.
  ::SendMessageW(window.hwnd(), pv::link::UM_LINK_KEYS, pv::link::ToWParam(pv::link::KeyEvent::kDown),
                 pv::effects::SCENE_CIRCLE);
  desktop.cursor = {300, 300};
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = 5;
  move.mi.dy = 3;
  move.mi.dwFlags = MOUSEEVENTF_MOVE;
  ::SendInput(1, &move, sizeof(INPUT));
  EXPECT_TRUE(PumpUntilCalled("Period 15"));
  EXPECT_TRUE(PumpUntilCalled("MoveCircle (263,263,338,338)"));
  EXPECT_GT(window.defaultInputs, 0) << "unconsumed raw input gets the default processing";
}

TEST_F(EffectInputTest, AKeysPressIsHandledBeforeItsReleaseQueuedBehindIt) {
  ASSERT_NE(window.hwnd(), nullptr);
  ASSERT_TRUE(window.RegisterRawInput());
  // The remote out of reach: a key press ends the laser; the black screen
  // over it ends at the key's release.
  desktop.rfLinked = false;
  ::SendMessageW(window.hwnd(), pv::link::UM_LINK_KEYS, pv::link::ToWParam(pv::link::KeyEvent::kDown),
                 pv::effects::SCENE_CIRCLE);
  ::SendMessageW(window.hwnd(), pv::link::UM_LINK_KEYS, pv::link::ToWParam(pv::link::KeyEvent::kBlackScreen),
                 0);
  ASSERT_TRUE(desktop.blackShown);
  desktop.Take();
  // Press and release arrive together: the release is queued behind the
  // WM_INPUT of the press.
  Key(VK_F15);
  ASSERT_TRUE(PumpUntilCalled("HideBlack")) << Seen();
  const auto at = [&](const std::string& call) {
    return std::find(seen.begin(), seen.end(), call) - seen.begin();
  };
  EXPECT_LT(at("HideCircle"), at("HideBlack")) << "the release was taken before the press: " << Seen();
}

TEST_F(EffectInputTest, PostedMessagesAreCheckedAndForeignTimersPassOn) {
  ASSERT_NE(window.hwnd(), nullptr);
  desktop.mainWindowShown = true;
  // A forged raw-input handle: nothing read, the message goes on to the default.
  LRESULT result = 7;
  EXPECT_FALSE(input.HandleMessage(WM_INPUT, RIM_INPUT, 0x1234, result));
  EXPECT_FALSE(input.HandleMessage(WM_INPUT, RIM_INPUTSINK, 0, result));
  // Escape smuggled in the high bits of UM_RAW_KEY is no Escape.
  EXPECT_TRUE(
      input.HandleMessage(pv::mainwindow::UM_RAW_KEY, (WPARAM{1} << 32) | WM_KEYDOWN, VK_ESCAPE, result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(
      input.HandleMessage(pv::mainwindow::UM_RAW_KEY, WM_KEYDOWN, (LPARAM{1} << 32) | VK_ESCAPE, result));
  EXPECT_EQ(result, 0);
  // An unknown scene, an unknown event or size step does nothing; the key
  // message answers 0 then, the size step 1 always.
  using pv::link::UM_LINK_KEYS;
  using pv::link::UM_LINK_SIZE_STEP;
  const WPARAM keyDown = pv::link::ToWParam(pv::link::KeyEvent::kDown);
  EXPECT_TRUE(input.HandleMessage(UM_LINK_KEYS, keyDown, 3, result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(input.HandleMessage(UM_LINK_KEYS, keyDown, LPARAM{1} << 32, result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(input.HandleMessage(UM_LINK_KEYS, 5, 0, result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(input.HandleMessage(UM_LINK_KEYS, (WPARAM{1} << 32) | keyDown, 0, result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(input.HandleMessage(UM_LINK_SIZE_STEP, 2, 0, result));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(desktop.Take(), std::vector<std::string>{});

  // The window's other timers are its own; the tracking timer is ours.
  EXPECT_FALSE(input.HandleMessage(WM_TIMER, pv::mainwindow::TIMER_AUTO_HIDE, 0, result));
  EXPECT_TRUE(input.HandleMessage(WM_TIMER, pv::mainwindow::TIMER_TRACK_POINTER, 0, result));
  EXPECT_FALSE(input.HandleMessage(WM_PAINT, 0, 0, result));

  EXPECT_TRUE(input.HandleMessage(pv::mainwindow::UM_RAW_KEY, WM_KEYDOWN, VK_ESCAPE, result));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(desktop.Take(), std::vector<std::string>{"HideToTray"});
}

}  // namespace
