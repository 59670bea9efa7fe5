// The fixture of the overlay tests: the pattern backdrop in the foreground,
// a stand-in for the main window (the overlays' owner, receiving the black
// screen's close request) and the overlay windows created on it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "effects/win32/effect_windows.h"
#include "framework/user_handles.h"
#include "link/core/link_messages.h"
#include "tests/windows/effects/effects_test_support.h"

namespace pv::effects::test {

using pv::PixelPoint;
using pv::PixelRect;

inline PixelRect Square(PixelPoint centre, int side) {
  return pv::RectAt({centre.x - side / 2, centre.y - side / 2}, side, side);
}

class OverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OverlayTest::MainProc;
    wc.lpszClassName = L"PvEffectsMainStandIn";
    ::RegisterClassW(&wc);
    m_main.Reset(::CreateWindowExW(0, wc.lpszClassName, L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr));
    ASSERT_TRUE(m_main.IsValid());
    ::SetWindowLongPtrW(m_main.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_linkKeys));
    ASSERT_TRUE(m_windows.Create(m_main.Get()));
    ::SetForegroundWindow(m_backdrop.Get());
    Pump(50);
  }

  // The foreground and the focus are still the backdrop's.
  void ExpectBackdropKeepsKeyboard(const char* step) {
    EXPECT_EQ(::GetForegroundWindow(), m_backdrop.Get()) << step;
    EXPECT_EQ(::GetActiveWindow(), m_backdrop.Get()) << step;
  }

  // The UM_LINK_KEYS messages the stand-in of the main window received.
  struct LinkKeys {
    int count = 0;
    WPARAM wp = 0;
    LPARAM lp = 0;
  };
  static LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == pv::link::UM_LINK_KEYS) {
      if (auto* keys = reinterpret_cast<LinkKeys*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA))) {
        ++keys->count;
        keys->wp = wp;
        keys->lp = lp;
      }
      return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
  }

  Backdrop m_backdrop;
  LinkKeys m_linkKeys;
  CWindowHandle m_main;
  pv::effects::CEffectWindows m_windows;
  PixelRect m_screen = pv::effects::CurrentVirtualScreen();
};

}  // namespace pv::effects::test
