// The effects' raw-input reader under Wine: real raw input from injected keys
// and mouse movement reaches the effect controller's rules, and messages any
// program can post are checked before anything reads them.
#include "effects/win32/effect_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "effects/core/raw_input_messages.h"
#include "link/core/link_messages.h"
#include "tests/host/effects/fake_desktop.h"
#include "tests/windows/effects/effects_test_support.h"

namespace pv::effects::test {
namespace {

using pv::effects::test::FakeDesktop;

// The host window's timers, numbered as the main window numbers them: the
// pointer-tracking timer and another one of its own.
constexpr UINT_PTR kTrackingTimer = 1005;
constexpr UINT_PTR kWindowTimer = 1003;

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
    m_registered = m_input.RegisterRawInput(m_hwnd);
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

  FakeDesktop desktop;
  pv::effects::EffectController controller{desktop, desktop, desktop, desktop};
  CEffectInput input{controller, kTrackingTimer};
  RawInputWindow window{input};
  PresentationWindow presentation;
  std::vector<std::string> seen;
};

TEST_F(EffectInputTest, RawKeysAndMouseReachTheRules) {
  ASSERT_NE(window.hwnd(), nullptr);
  ASSERT_TRUE(window.RegisterRawInput());

  // Escape typed anywhere hides a shown main window.
  desktop.mainWindowShown = true;
  TypeKey(VK_F13);  // a key no rule names: nothing happens
  TypeKey(VK_ESCAPE);
  EXPECT_TRUE(PumpUntilCalled("HideToTray"));

  // A key released anywhere ends the black screen.
  ::SendMessageW(window.hwnd(), pv::link::UM_LINK_KEYS, pv::link::ToWParam(pv::link::KeyEvent::kBlackScreen),
                 1);
  EXPECT_TRUE(desktop.blackShown);
  TypeKey(VK_F14);
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

// Mice and keyboards, delivered to the window also while another
// application has the focus (the test's own foreground window would not
// tell: it belongs to this thread).
TEST_F(EffectInputTest, RegistrationAsksForMiceAndKeyboardsWhileOthersHaveTheFocus) {
  ASSERT_NE(window.hwnd(), nullptr);
  ASSERT_TRUE(window.RegisterRawInput());
  UINT count = 0;
  ASSERT_EQ(::GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE)), 0u);
  std::vector<RAWINPUTDEVICE> devices(count);
  ASSERT_EQ(::GetRegisteredRawInputDevices(devices.data(), &count, sizeof(RAWINPUTDEVICE)), 2u);
  for (const USHORT usage : {USHORT{0x02}, USHORT{0x06}}) {
    const auto found = std::find_if(devices.begin(), devices.end(), [&](const RAWINPUTDEVICE& d) {
      return d.usUsagePage == 0x01 && d.usUsage == usage;
    });
    ASSERT_NE(found, devices.end()) << "usage " << usage;
    EXPECT_EQ(found->dwFlags, static_cast<DWORD>(RIDEV_INPUTSINK)) << "usage " << usage;
    EXPECT_EQ(found->hwndTarget, window.hwnd()) << "usage " << usage;
  }
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
  TypeKey(VK_F15);
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
      input.HandleMessage(pv::effects::UM_RAW_KEY, (WPARAM{1} << 32) | WM_KEYDOWN, VK_ESCAPE, result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(
      input.HandleMessage(pv::effects::UM_RAW_KEY, WM_KEYDOWN, (LPARAM{1} << 32) | VK_ESCAPE, result));
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
  EXPECT_FALSE(input.HandleMessage(WM_TIMER, kWindowTimer, 0, result));
  EXPECT_TRUE(input.HandleMessage(WM_TIMER, kTrackingTimer, 0, result));
  EXPECT_FALSE(input.HandleMessage(WM_PAINT, 0, 0, result));

  EXPECT_TRUE(input.HandleMessage(pv::effects::UM_RAW_KEY, WM_KEYDOWN, VK_ESCAPE, result));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(desktop.Take(), std::vector<std::string>{"HideToTray"});
}

}  // namespace
}  // namespace pv::effects::test
