// What a user sees of each overlay: pixels read back from the screen over a
// backdrop of a known pattern, and the window properties behind them. The
// unit session has no compositor, so translucency is checked through the
// layered attributes (Wine shows an alpha layer opaque there).
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "effects/core/effect_controller.h"
#include "effects/win32/effect_windows.h"
#include "link/core/link_messages.h"
#include "tests/host/effects/fake_desktop.h"
#include "tests/windows/effects/overlay_fixture.h"

namespace pv::effects::test {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr int kTolerance = 3;

TEST_F(OverlayTest, OverlaysAreCreatedHiddenAsLayeredTopMostToolWindowsThatNeverActivate) {
  const HWND ours[] = {m_windows.Mask().GetSafeHwnd(), m_windows.Spotlight().GetSafeHwnd(),
                       m_windows.Lens().GetSafeHwnd(), m_windows.Circle().GetSafeHwnd(),
                       m_windows.Black().GetSafeHwnd()};
  const LONG_PTR wanted = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;
  for (HWND w : ours) {
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(::IsWindowVisible(w));
    EXPECT_EQ(::GetWindowLongPtrW(w, GWL_EXSTYLE) & wanted, wanted);
    // Owned by a hidden window of their own that is never minimised, so the
    // main window's minimise and restore never hide or show them.
    EXPECT_EQ(::GetWindow(w, GW_OWNER), m_windows.Owner());
    EXPECT_NE(::GetWindow(w, GW_OWNER), m_main.Get());
  }
  EXPECT_FALSE(::IsWindowVisible(m_windows.Owner()));
  EXPECT_FALSE(::IsIconic(m_windows.Owner()));
  EXPECT_FALSE(m_windows.BlackVisible());
  EXPECT_FALSE(m_windows.Spotlight().Visible());
}

TEST_F(OverlayTest, EffectLiesAboveTheMaskAndTheBlackScreenAboveBoth) {
  m_windows.ShowMask(m_screen);
  m_windows.ShowSpotlight(m_screen, 200, Square({500, 500}, 100));
  Pump(50);
  EXPECT_EQ(::WindowFromPoint(POINT{800, 500}), m_windows.Spotlight().GetSafeHwnd());
  EXPECT_EQ(::WindowFromPoint(POINT{500, 500}), m_windows.Mask().GetSafeHwnd());  // through the hole
  m_windows.ShowBlack(m_screen);
  Pump(50);
  EXPECT_EQ(::WindowFromPoint(POINT{800, 500}), m_windows.Black().GetSafeHwnd());
  EXPECT_EQ(::WindowFromPoint(POINT{500, 500}), m_windows.Black().GetSafeHwnd());
  m_windows.HideBlack();
  m_windows.HideSpotlight();
  m_windows.HideMask();
  m_windows.ShowPointer();
  Pump(50);
  EXPECT_EQ(::WindowFromPoint(POINT{500, 500}), m_backdrop.Get());
}

TEST_F(OverlayTest, SpotlightDarkensAroundAHoleThatShowsTheScreen) {
  const bool blends = DisplayBlendsAlpha(100, 100);
  const PixelPoint pointer{640, 400};
  const PixelRect hole = Square(pointer, 200);
  m_windows.ShowSpotlight(m_screen, 215, hole);
  Pump(150);
  const ScreenShot shot = ScreenShot::Primary();
  SaveScreenshot(L"spotlight");

  EXPECT_TRUE(Near(shot.At(pointer.x, pointer.y), PatternAt(pointer.x, pointer.y), kTolerance));
  EXPECT_TRUE(Near(shot.At(pointer.x + 90, pointer.y), PatternAt(pointer.x + 90, pointer.y), kTolerance));
  // Dark just outside the disc, at the hole box's corner (a disc, not a
  // square) and far away, at the opacity given.
  for (const auto& [x, y] :
       {std::pair{pointer.x + 110, pointer.y}, {pointer.x + 75, pointer.y + 75}, {20, 20}, {1900, 1060}}) {
    EXPECT_TRUE(Near(shot.At(x, y), UnderBlackLayer(x, y, 215, blends), kTolerance)) << x << "," << y;
  }

  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(m_windows.Spotlight().GetSafeHwnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 215);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_TRUE(m_windows.Spotlight().Visible());
}

TEST_F(OverlayTest, SpotlightHoleFollowsThePointerAndTheOldPlaceDarkens) {
  m_windows.ShowSpotlight(m_screen, 255, Square({400, 400}, 160));
  Pump(100);
  m_windows.MoveSpotlightHole(Square({900, 600}, 160));
  Pump(150);
  const ScreenShot shot = ScreenShot::Primary();
  SaveScreenshot(L"spotlight_moved");
  EXPECT_TRUE(Near(shot.At(900, 600), PatternAt(900, 600), kTolerance));
  EXPECT_EQ(shot.At(400, 400), kBlack);
  const HWND wnd = m_windows.Spotlight().GetSafeHwnd();
  EXPECT_FALSE(RegionContains(wnd, 900, 600));
  EXPECT_TRUE(RegionContains(wnd, 400, 400));
}

TEST_F(OverlayTest, SpotlightPassesClicksInsideTheHoleAndSwallowsThemOnTheDarkArea) {
  // Without the mask (the show-pointer option): the presentation below the
  // hole stays usable, the dark area takes no clicks to it.
  m_windows.ShowSpotlight(m_screen, 200, Square({600, 400}, 200));
  Pump(100);
  ClickAt(1200, 800);
  EXPECT_EQ(m_backdrop.Clicks(), 0);
  ExpectBackdropKeepsKeyboard("click on the dark area");
  ClickAt(600, 400);
  EXPECT_EQ(m_backdrop.Clicks(), 1);
}

TEST_F(OverlayTest, SpotlightCoversAVirtualScreenThatBeginsLeftOfAndAboveThePrimary) {
  // A projector left of and above the laptop's screen: the virtual screen
  // begins at negative coordinates. The layer must start there and the hole
  // must sit under the pointer in screen coordinates.
  const PixelRect wide{-1280, -400, 1920, 1080};
  const PixelPoint pointer{-600, -100};
  m_windows.ShowSpotlight(wide, 200, Square(pointer, 100));
  const HWND wnd = m_windows.Spotlight().GetSafeHwnd();
  RECT r;
  ::GetWindowRect(wnd, &r);
  EXPECT_EQ(r.left, -1280);
  EXPECT_EQ(r.top, -400);
  EXPECT_EQ(r.right, 1920);
  EXPECT_EQ(r.bottom, 1080);
  EXPECT_FALSE(RegionContains(wnd, pointer.x - wide.left, pointer.y - wide.top));
  EXPECT_TRUE(RegionContains(wnd, pointer.x - wide.left + 60, pointer.y - wide.top));
  EXPECT_TRUE(RegionContains(wnd, 0, 0));
}

TEST_F(OverlayTest, LensShowsTheScreenEnlargedTwiceInsideTwoRings) {
  const PixelPoint pointer{640, 640};
  const int d = 200;
  m_windows.ShowLens(Square(pointer, d), true);
  Pump(150);
  const ScreenShot shot = ScreenShot::Primary();
  SaveScreenshot(L"magnifier");

  // A point (dx, dy) from the centre shows the backdrop at (dx / 2, dy / 2).
  for (const auto& [dx, dy] : {std::pair{0, 0}, {60, 0}, {-60, 40}, {30, -70}}) {
    EXPECT_TRUE(
        Near(shot.At(pointer.x + dx, pointer.y + dy), PatternAt(pointer.x + dx / 2, pointer.y + dy / 2), 4))
        << dx << "," << dy;
  }
  // Outer ring black at the edge, inner ring light just inside it.
  const int left = pointer.x - d / 2;
  EXPECT_EQ(shot.At(left + 2, pointer.y), kBlack);
  EXPECT_TRUE(Near(shot.At(left + 5, pointer.y), Rgb{250, 250, 250}, kTolerance));
  // Round: the corner of the window's square shows the backdrop.
  EXPECT_TRUE(
      Near(shot.At(left + 3, pointer.y - d / 2 + 3), PatternAt(left + 3, pointer.y - d / 2 + 3), kTolerance));
  RECT r;
  ::GetWindowRect(m_windows.Lens().GetSafeHwnd(), &r);
  EXPECT_EQ(r.right - r.left, d);
  EXPECT_EQ(r.bottom - r.top, d);
}

TEST_F(OverlayTest, LensKeepsItsPictureWhenMovedAndNearTheEdgeShowsWhiteBeyondIt) {
  m_windows.ShowLens(Square({640, 640}, 200), true);
  Pump(50);
  // Rendered off-screen for a lens at the top-left corner: the source square
  // reaches beyond the picture there.
  m_windows.MoveLens(Square({20, 20}, 200));
  Canvas lens(200, 200, RGB(1, 2, 3));
  m_windows.Lens().RenderTo(lens.Dc());
  // Lens (100, 30) shows picture (20, -15): above the picture, white.
  EXPECT_EQ(lens.Pixel(100, 30), (Rgb{255, 255, 255}));
  // Lens (100, 140) shows picture (20, 40): the backdrop.
  EXPECT_TRUE(Near(lens.Pixel(100, 140), PatternAt(20, 40), 4));
  // Lens (30, 100) shows picture (-15, 20): left of the picture, white.
  EXPECT_EQ(lens.Pixel(30, 100), (Rgb{255, 255, 255}));
}

TEST_F(OverlayTest, LensShowsTheStillPictureUntilShownAfreshAndNeverItself) {
  const PixelPoint pointer{700, 500};
  m_windows.ShowLens(Square(pointer, 200), true);
  Pump(100);
  // The screen changes under the lens.
  m_backdrop.TurnGrey();
  // A size step keeps the old picture.
  m_windows.ShowLens(Square(pointer, 240), false);
  Pump(150);
  EXPECT_TRUE(
      Near(ScreenShot::Primary().At(pointer.x + 20, pointer.y), PatternAt(pointer.x + 10, pointer.y), 4));
  // Hidden and shown again at the same place: a new picture, of the grey
  // screen and not of the lens that was there.
  m_windows.HideLens();
  Pump(100);
  m_windows.ShowLens(Square(pointer, 240), true);
  Pump(150);
  const ScreenShot shot = ScreenShot::Primary();
  EXPECT_TRUE(Near(shot.At(pointer.x + 20, pointer.y), (Rgb{128, 128, 128}), 2));
  EXPECT_FALSE(Near(shot.At(pointer.x + 20, pointer.y), PatternAt(pointer.x + 10, pointer.y), 4));
  EXPECT_FALSE(Near(shot.At(pointer.x - 110, pointer.y), Rgb{0, 0, 0}, 10));  // no old ring magnified
}

TEST_F(OverlayTest, CircleIsADiscOfTheColourInAWindowOfHalfTheSize) {
  // CircleSize 150: a 75-pixel window with a 55-pixel disc.
  const PixelPoint pointer{500, 300};
  const PixelRect window = Square(pointer, 75);
  m_windows.ShowCircle(window, 0x00C040);
  Pump(150);
  const ScreenShot shot = ScreenShot::Primary();
  SaveScreenshot(L"circle");
  const Rgb colour{0x00, 0xC0, 0x40};
  EXPECT_EQ(shot.At(pointer.x, pointer.y), colour);
  EXPECT_EQ(shot.At(pointer.x + 25, pointer.y), colour);
  // Outside the disc but inside the window: transparent.
  EXPECT_TRUE(
      Near(shot.At(window.left + 3, window.top + 3), PatternAt(window.left + 3, window.top + 3), kTolerance));
  EXPECT_TRUE(Near(shot.At(pointer.x + 32, pointer.y), PatternAt(pointer.x + 32, pointer.y), kTolerance));
  RECT r;
  ::GetWindowRect(m_windows.Circle().GetSafeHwnd(), &r);
  EXPECT_EQ(r.right - r.left, 75);
  EXPECT_EQ(r.bottom - r.top, 75);

  m_windows.MoveCircle(Square({900, 700}, 75));
  Pump(150);
  const ScreenShot moved = ScreenShot::Primary();
  EXPECT_EQ(moved.At(900, 700), colour);
  EXPECT_TRUE(Near(moved.At(pointer.x, pointer.y), PatternAt(pointer.x, pointer.y), kTolerance));
}

TEST_F(OverlayTest, CircleOfTheTransparencyKeysWhiteStaysVisible) {
  // A stored colour of pure white must not make the laser vanish into the
  // transparent white of its window.
  m_windows.ShowCircle(Square({800, 300}, 75), 0xFFFFFF);
  Pump(150);
  EXPECT_TRUE(Near(ScreenShot::Primary().At(800, 300), (Rgb{255, 255, 255}), 1));
}

TEST_F(OverlayTest, SmallCircleSizesKeepTheMinimumEdgeAndAQuarterMargin) {
  EXPECT_EQ(pv::effects::CCircleWnd::Margin(75), 10);
  EXPECT_EQ(pv::effects::CCircleWnd::Margin(40), 10);
  EXPECT_EQ(pv::effects::CCircleWnd::Margin(20), 5);  // size 30: edge 20, disc 10
  m_windows.ShowCircle(Square({300, 700}, 20), 0x0000FF);
  Pump(150);
  const ScreenShot shot = ScreenShot::Primary();
  EXPECT_EQ(shot.At(300, 700), (Rgb{0, 0, 255}));
  EXPECT_TRUE(Near(shot.At(300 + 7, 700), PatternAt(307, 700), 3));  // the disc is 10 wide
}

TEST_F(OverlayTest, MaskCoversTheVirtualScreenInvisiblyAndSwallowsClicks) {
  m_windows.ShowMask(m_screen);
  Pump(100);
  const HWND mask = m_windows.Mask().GetSafeHwnd();
  RECT r;
  ::GetWindowRect(mask, &r);
  EXPECT_EQ(r.left, m_screen.left);
  EXPECT_EQ(r.top, m_screen.top);
  EXPECT_EQ(r.right, m_screen.right);
  EXPECT_EQ(r.bottom, m_screen.bottom);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(mask, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 1);
  EXPECT_EQ(::WindowFromPoint(POINT{300, 300}), mask);

  // A click lands on the mask and never reaches the window below.
  ClickAt(300, 300);
  EXPECT_EQ(m_backdrop.Clicks(), 0);
  ExpectBackdropKeepsKeyboard("click on the mask");

  // Control: without the mask the same click reaches the backdrop.
  m_windows.HideMask();
  Pump(50);
  ClickAt(300, 300);
  EXPECT_EQ(m_backdrop.Clicks(), 1);
}

class BlackScreenTest : public OverlayTest {
 protected:
  void SetUp() override {
    OverlayTest::SetUp();
    m_taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (m_taskbar == nullptr) {
      // No shell taskbar in this session: a stand-in of the same class.
      WNDCLASSW wc{};
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.lpszClassName = L"Shell_TrayWnd";
      ::RegisterClassW(&wc);
      m_fakeTaskbar.Reset(::CreateWindowExW(WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 1040, 1920,
                                            40, nullptr, nullptr, nullptr, nullptr));
      m_taskbar = m_fakeTaskbar.Get();
      ::ShowWindow(m_taskbar, SW_SHOWNOACTIVATE);
    }
    ::SetForegroundWindow(m_backdrop.Get());
  }
  HWND m_taskbar = nullptr;
  CWindowHandle m_fakeTaskbar;
};

TEST_F(BlackScreenTest, BlacksOutTheVirtualScreenAndHidesTaskbarAndPointerUntilHidden) {
  ASSERT_TRUE(::IsWindowVisible(m_taskbar));
  const int pointerBefore = PointerDisplayCount();
  m_windows.ShowBlack(m_screen);
  Pump(150);
  const ScreenShot shot = ScreenShot::Primary();
  SaveScreenshot(L"black_screen");
  for (const auto& [x, y] : {std::pair{0, 0}, {960, 540}, {1919, 1079}, {300, 1060}}) {
    EXPECT_EQ(shot.At(x, y), kBlack) << x << "," << y;
  }
  EXPECT_TRUE(m_windows.BlackVisible());
  EXPECT_FALSE(::IsWindowVisible(m_taskbar));
  EXPECT_LT(PointerDisplayCount(), 0);
  RECT r;
  ::GetWindowRect(m_windows.Black().GetSafeHwnd(), &r);
  EXPECT_EQ(r.left, m_screen.left);
  EXPECT_EQ(r.right, m_screen.right);

  m_windows.HideBlack();
  m_windows.ShowPointer();
  Pump(150);
  EXPECT_FALSE(m_windows.BlackVisible());
  EXPECT_TRUE(::IsWindowVisible(m_taskbar));
  EXPECT_GE(PointerDisplayCount(), 0);
  EXPECT_GE(pointerBefore, 0);
  EXPECT_TRUE(Near(ScreenShot::Primary().At(960, 540), PatternAt(960, 540), kTolerance));
  ExpectBackdropKeepsKeyboard("black screen shown and hidden");
}

TEST_F(BlackScreenTest, AClickOnTheBlackScreenAsksTheMainWindowToEndIt) {
  m_windows.ShowBlack(m_screen);
  Pump(100);
  ClickAt(700, 500);
  for (int i = 0; i < 100 && m_linkKeys.count == 0; ++i) Pump(20);
  ASSERT_EQ(m_linkKeys.count, 1);
  EXPECT_EQ(m_linkKeys.wp, pv::link::ToWParam(pv::link::KeyEvent::kBlackScreen));
  EXPECT_EQ(m_linkKeys.lp, 0);
  EXPECT_EQ(m_backdrop.Clicks(), 0);
}

TEST_F(OverlayTest, ScreenCoveringOverlaysFollowADisplayChange) {
  // Shown over a smaller screen; then the display changes (a projector
  // plugged in): each covers the virtual screen as it is now.
  const PixelRect small{0, 0, 800, 600};
  m_windows.ShowMask(small);
  m_windows.ShowSpotlight(small, 200, Square({400, 300}, 100));
  m_windows.ShowBlack(small);
  const HWND covering[] = {m_windows.Mask().GetSafeHwnd(), m_windows.Spotlight().GetSafeHwnd(),
                           m_windows.Black().GetSafeHwnd()};
  for (HWND w : covering) {
    ::SendMessageW(w, WM_DISPLAYCHANGE, 24, MAKELPARAM(m_screen.Width(), m_screen.Height()));
    RECT r;
    ::GetWindowRect(w, &r);
    EXPECT_EQ(r.left, m_screen.left);
    EXPECT_EQ(r.top, m_screen.top);
    EXPECT_EQ(r.right, m_screen.right);
    EXPECT_EQ(r.bottom, m_screen.bottom);
  }
  // The hole stays under the pointer.
  EXPECT_FALSE(RegionContains(m_windows.Spotlight().GetSafeHwnd(), 400 - m_screen.left, 300 - m_screen.top));
  EXPECT_TRUE(RegionContains(m_windows.Spotlight().GetSafeHwnd(), 1500 - m_screen.left, 900 - m_screen.top));
  m_windows.HideBlack();
  m_windows.ShowPointer();
}

TEST_F(BlackScreenTest, CreatingTheWindowsBringsBackATaskbarLeftHiddenByAnEarlierRun) {
  ::ShowWindow(m_taskbar, SW_HIDE);
  pv::effects::CEffectWindows windows;
  ASSERT_TRUE(windows.Create(m_main.Get()));
  Pump(50);  // the taskbars are shown asynchronously (they are the shell's)
  EXPECT_TRUE(::IsWindowVisible(m_taskbar));
  EXPECT_FALSE(windows.BlackVisible());
}

TEST_F(BlackScreenTest, DestroyingTheWindowsGivesTheTaskbarAndPointerBack) {
  {
    pv::effects::CEffectWindows windows;
    ASSERT_TRUE(windows.Create(m_main.Get()));
    windows.ShowMask(m_screen);
    windows.ShowSpotlight(m_screen, 200, Square({500, 500}, 100));
    windows.HidePointer();
    windows.ShowBlack(m_screen);
    ASSERT_FALSE(::IsWindowVisible(m_taskbar));
    ASSERT_LT(PointerDisplayCount(), 0);
  }
  EXPECT_TRUE(::IsWindowVisible(m_taskbar));
  EXPECT_GE(PointerDisplayCount(), 0);
}

TEST_F(OverlayTest, NoOverlayTakesTheForegroundWhenShownMovedOrHidden) {
  const HWND ours[] = {m_windows.Mask().GetSafeHwnd(), m_windows.Spotlight().GetSafeHwnd(),
                       m_windows.Lens().GetSafeHwnd(), m_windows.Circle().GetSafeHwnd(),
                       m_windows.Black().GetSafeHwnd()};
  const auto check = [&](const char* step) {
    Pump(60);
    ExpectBackdropKeepsKeyboard(step);
    for (HWND w : ours) EXPECT_NE(::GetFocus(), w) << step;
  };
  m_windows.ShowMask(m_screen);
  check("mask shown");
  m_windows.ShowSpotlight(m_screen, 180, Square({300, 300}, 120));
  check("spotlight shown");
  m_windows.MoveSpotlightHole(Square({320, 310}, 120));
  check("spotlight moved");
  m_windows.ShowSpotlight(m_screen, 180, Square({320, 310}, 140));
  check("spotlight resized");
  m_windows.HideSpotlight();
  check("spotlight hidden");
  m_windows.ShowLens(Square({600, 600}, 300), true);
  check("lens shown");
  m_windows.MoveLens(Square({620, 600}, 300));
  check("lens moved");
  m_windows.ShowLens(Square({620, 600}, 320), false);
  check("lens resized");
  m_windows.HideLens();
  check("lens hidden");
  m_windows.ShowCircle(Square({700, 200}, 75), 0xFF0000);
  check("circle shown");
  m_windows.MoveCircle(Square({710, 220}, 75));
  check("circle moved");
  m_windows.HideCircle();
  check("circle hidden");
  m_windows.ShowBlack(m_screen);
  check("black shown");
  m_windows.HideBlack();
  m_windows.HideMask();
  m_windows.ShowPointer();
  check("black and mask hidden");
}

TEST_F(OverlayTest, TypedKeysKeepReachingThePresentationWhileEachEffectIsShown) {
  const std::pair<const char*, std::function<void()>> effects[] = {
      {"spotlight",
       [&] {
         m_windows.ShowSpotlight(m_screen, 200, Square({500, 500}, 200));
       }},
      {"lens",
       [&] {
         m_windows.ShowLens(Square({500, 500}, 200), true);
       }},
      {"circle",
       [&] {
         m_windows.ShowCircle(Square({500, 500}, 75), 0xFF0000);
       }},
  };
  int typed = 0;
  for (const auto& [name, show] : effects) {
    m_windows.ShowMask(m_screen);
    show();
    Pump(50);
    TypeKey('N');
    EXPECT_EQ(m_backdrop.KeysTyped(), ++typed) << name;
    m_windows.HideMask();
    m_windows.HideSpotlight();
    m_windows.HideLens();
    m_windows.HideCircle();
  }
}

// Windows whose creation failed: the controller's rules still see each effect
// on from its show to its hide (so it ends by the same keys and movements),
// while the black screen counts as shown only with its window.
TEST(OverlayWithoutWindowsTest, AnEffectWhoseWindowWasNeverMadeStillCountsAsShown) {
  pv::effects::CEffectWindows windows;  // never created
  FakeDesktop host;
  pv::effects::EffectController controller{windows, host, host, host};
  host.controller = &controller;
  using pv::link::KeyEvent;
  for (const pv::effects::Scene scene :
       {pv::effects::SCENE_SPOTLIGHT, pv::effects::SCENE_MAGNIFIER, pv::effects::SCENE_CIRCLE}) {
    controller.OnLinkKeys({KeyEvent::kDown, scene});
    EXPECT_EQ(controller.VisibleScene(), scene);
    controller.OnLinkKeys({KeyEvent::kUp});
    EXPECT_EQ(controller.VisibleScene(), pv::effects::SCENE_NONE);
  }
  controller.OnLinkKeys({KeyEvent::kBlackScreen});
  EXPECT_FALSE(windows.BlackVisible());
}

TEST_F(OverlayTest, AClickOnAnEffectIsSwallowedAndTheForegroundStays) {
  m_windows.ShowLens(Square({800, 500}, 300), true);
  Pump(100);
  ClickAt(800, 500);
  EXPECT_EQ(m_backdrop.Clicks(), 0);
  ExpectBackdropKeepsKeyboard("click on the lens");
}

}  // namespace
}  // namespace pv::effects::test
