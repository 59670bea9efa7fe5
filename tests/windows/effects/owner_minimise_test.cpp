// Windows hides every popup of a window that is minimised (WM_SHOWWINDOW,
// FALSE, SW_PARENTCLOSING: the default processing hides the popup and marks
// it) and shows the marked ones again at the restore (SW_PARENTOPENING).
// Wine does so only for the system menu's minimise, so these tests send
// what Windows sends. The main window is minimised on its way into the tray:
// an effect ended meanwhile must not come back by itself at the restore.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/windows/effects/overlay_fixture.h"

namespace pv::effects::test {
namespace {

// The popups of this thread owned by `owner`.
std::vector<HWND> OwnedPopups(HWND owner) {
  struct Search {
    HWND owner;
    std::vector<HWND> found;
  } search{owner, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND wnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (::GetWindow(wnd, GW_OWNER) == s->owner) s->found.push_back(wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// What Windows sends the popups of a minimised or restored owner.
void SendOwnerShow(const std::vector<HWND>& popups, bool restore) {
  for (HWND popup : popups) {
    if (restore) {
      ::SendMessageW(popup, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
    } else if (::IsWindowVisible(popup)) {
      ::SendMessageW(popup, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
    }
  }
}

class OwnerMinimiseTest : public OverlayTest {
 protected:
  // Every window an owner's minimise could reach: the popups of the main
  // window, and the effect windows themselves, whoever owns them.
  std::vector<HWND> Reachable() {
    std::vector<HWND> all = OwnedPopups(m_main.Get());
    for (HWND w : Effects()) all.push_back(w);
    return all;
  }
  std::vector<HWND> Effects() {
    return {m_windows.Mask().GetSafeHwnd(), m_windows.Spotlight().GetSafeHwnd(),
            m_windows.Lens().GetSafeHwnd(), m_windows.Circle().GetSafeHwnd(),
            m_windows.Black().GetSafeHwnd()};
  }
  void ExpectNothingShown(const char* step) {
    for (HWND w : Effects()) EXPECT_FALSE(::IsWindowVisible(w)) << step << " " << w;
  }
};

TEST_F(OwnerMinimiseTest, AnEffectEndedWhileTheMainWindowIsMinimisedStaysGoneAtItsRestore) {
  struct Effect {
    const char* name;
    std::function<void()> show;
    std::function<void()> end;
    HWND window;
  };
  const Effect effects[] = {
      {"mask", [&] { m_windows.ShowMask(m_screen); }, [&] { m_windows.HideMask(); },
       m_windows.Mask().GetSafeHwnd()},
      {"spotlight",
       [&] {
         m_windows.ShowSpotlight(m_screen, 200, Square({500, 500}, 200));
       },
       [&] { m_windows.HideSpotlight(); }, m_windows.Spotlight().GetSafeHwnd()},
      {"lens",
       [&] {
         m_windows.ShowLens(Square({500, 500}, 200), true);
       },
       [&] { m_windows.HideLens(); }, m_windows.Lens().GetSafeHwnd()},
      {"circle",
       [&] {
         m_windows.ShowCircle(Square({500, 500}, 75), 0xFF0000);
       },
       [&] { m_windows.HideCircle(); }, m_windows.Circle().GetSafeHwnd()},
      {"black screen", [&] { m_windows.ShowBlack(m_screen); },
       [&] {
         m_windows.HideBlack();
         m_windows.ShowPointer();
       },
       m_windows.Black().GetSafeHwnd()},
  };
  for (const Effect& effect : effects) {
    SCOPED_TRACE(effect.name);
    effect.show();
    Pump(30);
    ASSERT_TRUE(::IsWindowVisible(effect.window));

    // Minimised with the effect on show: it stays on show.
    const std::vector<HWND> popups = Reachable();
    SendOwnerShow(popups, false);
    Pump(30);
    EXPECT_TRUE(::IsWindowVisible(effect.window)) << "hidden by the owner's minimise";

    // Ended meanwhile, then the owner restored: nothing comes back.
    effect.end();
    SendOwnerShow(popups, true);
    Pump(50);
    ExpectNothingShown("after the restore");
    EXPECT_EQ(::WindowFromPoint(POINT{700, 300}), m_backdrop.Get());

    // The effect still starts afterwards.
    effect.show();
    Pump(30);
    EXPECT_TRUE(::IsWindowVisible(effect.window)) << "does not start again";
    effect.end();
    Pump(30);
  }
}

TEST_F(OwnerMinimiseTest, TheBlackScreenEndedAcrossAMinimiseGivesTaskbarAndPointerBack) {
  const int pointerBefore = PointerDisplayCount();
  m_windows.ShowBlack(m_screen);
  Pump(30);
  SendOwnerShow(Reachable(), false);
  m_windows.HideBlack();
  m_windows.ShowPointer();
  SendOwnerShow(Reachable(), true);
  Pump(80);
  EXPECT_FALSE(::IsWindowVisible(m_windows.Black().GetSafeHwnd()));
  EXPECT_FALSE(m_windows.BlackVisible());
  if (HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr)) {
    EXPECT_TRUE(::IsWindowVisible(taskbar));
  }
  EXPECT_GE(PointerDisplayCount(), 0);
  EXPECT_GE(pointerBefore, 0);
  EXPECT_TRUE(Near(ScreenShot::Primary().At(960, 540), PatternAt(960, 540), 3));
}

TEST_F(OwnerMinimiseTest, ThePreviewHidesAndComesBackWithTheMainWindow) {
  pv::effects::CExampleWnd& preview = m_windows.Preview();
  preview.CreateOrMove(m_main.Get(), 200, 150, 215, 68);
  ASSERT_EQ(::GetWindow(preview.GetSafeHwnd(), GW_OWNER), m_main.Get());
  preview.ShowPreview();
  SendOwnerShow(OwnedPopups(m_main.Get()), false);
  EXPECT_FALSE(::IsWindowVisible(preview.GetSafeHwnd()));
  SendOwnerShow(OwnedPopups(m_main.Get()), true);
  EXPECT_TRUE(::IsWindowVisible(preview.GetSafeHwnd()));
  preview.HidePreview();
}

}  // namespace
}  // namespace pv::effects::test
