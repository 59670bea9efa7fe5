// The cost of following the pointer, printed as figures (no timing is
// asserted): a spotlight hole move, a lens move with its render at D = 500,
// a laser circle move; median and 99th percentile over 1000 moves each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "tests/windows/effects/overlay_fixture.h"

namespace effects_test {
namespace {

constexpr int kMoves = 1000;

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / perMs;
}

// Times `move(i)` for i in [1, count]; prints and returns the median.
double Measure(const char* name, const std::function<void(int)>& move, int count = kMoves) {
  std::vector<double> ms;
  ms.reserve(count);
  for (int i = 1; i <= count; ++i) {
    const double start = NowMs();
    move(i);
    ms.push_back(NowMs() - start);
    if (i % 100 == 0) Pump(1);
  }
  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  const double p99 = ms[ms.size() * 99 / 100];
  std::printf("[ bench ] %-40s median %.3f ms  p99 %.3f ms  (%d runs)\n", name, median, p99, count);
  return median;
}

// A pointer path that changes position at every step.
PixelPoint PathPoint(int i) {
  return {400 + (i * 7) % 900, 300 + (i * 3) % 500};
}

TEST_F(OverlayTest, BenchmarkPointerFollowingCosts) {
  const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
  std::printf("[ bench ] screen %d x %d\n", screenW, screenH);

  m_windows.ShowSpotlight(m_screen, 200, Square(PathPoint(0), 500));
  Pump(50);
  EXPECT_GT(Measure("spotlight hole move (D = 500)",
                    [&](int i) { m_windows.MoveSpotlightHole(Square(PathPoint(i), 500)); }),
            0.0);
  m_windows.HideSpotlight();

  m_windows.ShowLens(Square(PathPoint(0), 500), true);
  Pump(50);
  // A move renders the lens at once.
  EXPECT_GT(
      Measure("lens move + render (D = 500)", [&](int i) { m_windows.MoveLens(Square(PathPoint(i), 500)); }),
      0.0);
  Canvas target(500, 500, RGB(0, 0, 0));
  EXPECT_GT(Measure("lens render alone, off-screen (D = 500)",
                    [&](int) { m_windows.Lens().RenderTo(target.Dc()); }),
            0.0);
  m_windows.HideLens();

  m_windows.ShowCircle(Square(PathPoint(0), 75), 0xFF0000);
  Pump(50);
  EXPECT_GT(
      Measure("circle move (CircleSize 150)", [&](int i) { m_windows.MoveCircle(Square(PathPoint(i), 75)); }),
      0.0);
  m_windows.HideCircle();
}

// What showing each effect costs in the program (the part of a remote key
// press's way to the screen that is ours): the window calls of one show,
// with the lens's still picture of the whole screen.
TEST_F(OverlayTest, BenchmarkShowCosts) {
  constexpr int kShows = 200;
  const auto timedShow = [&](const char* name, const std::function<void(int)>& show,
                             const std::function<void()>& hide) {
    Measure(
        name,
        [&](int i) {
          show(i);
          hide();
        },
        kShows);
  };
  timedShow(
      "mask + spotlight show (D = 500) and hide",
      [&](int i) {
        m_windows.ShowMask(m_screen);
        m_windows.ShowSpotlight(m_screen, 215, Square(PathPoint(i), 500));
      },
      [&] {
        m_windows.HideSpotlight();
        m_windows.HideMask();
      });
  timedShow(
      "lens show with capture (D = 500) and hide",
      [&](int i) { m_windows.ShowLens(Square(PathPoint(i), 500), true); }, [&] { m_windows.HideLens(); });
  timedShow(
      "circle show (CircleSize 150) and hide",
      [&](int i) { m_windows.ShowCircle(Square(PathPoint(i), 75), 0xFF0000); },
      [&] { m_windows.HideCircle(); });
  timedShow(
      "black screen show and hide", [&](int) { m_windows.ShowBlack(m_screen); },
      [&] {
        m_windows.HideBlack();
        m_windows.ShowPointer();
      });
}

}  // namespace
}  // namespace effects_test
