// The cost of following the pointer, printed as figures (no timing is
// asserted): a spotlight hole move, a lens move with its render at D = 500
// beside its floor (a bare HALFTONE StretchBlt of the same size, measured in
// the same run), a laser circle move; median and 99th percentile over 1000
// moves each. Then what showing each effect costs. Runs on the overlay tests'
// fixture: the pattern backdrop, a stand-in owner and the overlay windows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "effects/win32/memory_canvas.h"
#include "tests/bench/figure.h"
#include "tests/windows/effects/overlay_fixture.h"

namespace {

// The overlay tests' fixtures (tests/windows/effects): their namespace is
// named on this line only.
namespace fixture = ::pv::effects::test;

using fixture::Pump;
using fixture::Square;
using pv::PixelPoint;

constexpr int kMoves = 1000;
constexpr const char* kFrame = "<= 16 (one frame at 60 Hz)";

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

struct Timing {
  double median;
  double p99;
};

// Times `move(i)` for i in [1, count]; prints the figure and returns it.
Timing Measure(const char* name, const std::function<void(int)>& move, int count = kMoves,
               const char* goal = kFrame) {
  std::vector<double> ms;
  ms.reserve(count);
  for (int i = 1; i <= count; ++i) {
    const double start = NowMs();
    move(i);
    ms.push_back(NowMs() - start);
    if (i % 100 == 0) Pump(1);
  }
  std::sort(ms.begin(), ms.end());
  const Timing timing{ms[ms.size() / 2], ms[ms.size() * 99 / 100]};
  pv::bench::PrintFigure(name, timing.median, timing.p99, "ms", goal);
  if (timing.median <= 0) std::fprintf(stderr, "overlays_bench: %s: the clock saw no time pass\n", name);
  return timing;
}

// A pointer path that changes position at every step.
PixelPoint PathPoint(int i) {
  return {400 + (i * 7) % 900, 300 + (i * 3) % 500};
}

// The overlay tests' fixture set up outside a test run: a GoogleTest fixture
// reports a failed set-up as a fatal failure of no test in particular.
class OverlayBench : public fixture::OverlayTest {
 public:
  // False when the fixture's windows could not be made.
  bool Open() {
    SetUp();
    return !HasFatalFailure();
  }
  // Each false when a series measured nothing.
  bool PointerFollowingCosts();
  bool ShowCosts();

 private:
  void TestBody() override {}
};

bool OverlayBench::PointerFollowingCosts() {
  bool measured = true;
  const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);

  m_windows.ShowSpotlight(m_screen, 200, Square(PathPoint(0), 500));
  Pump(50);
  measured &= Measure("spotlight hole move (D = 500)", [&](int i) {
                m_windows.MoveSpotlightHole(Square(PathPoint(i), 500));
              }).median > 0;
  m_windows.HideSpotlight();

  m_windows.ShowLens(Square(PathPoint(0), 500), true);
  Pump(50);
  // A move renders the lens at once.
  const Timing lens =
      Measure("lens move + render (D = 500)", [&](int i) { m_windows.MoveLens(Square(PathPoint(i), 500)); });
  measured &= lens.median > 0;
  Canvas target(500, 500, RGB(0, 0, 0));
  measured &= Measure("lens render alone, off-screen (D = 500)", [&](int) {
                m_windows.Lens().RenderTo(target.Dc());
              }).median > 0;
  m_windows.HideLens();

  // The floor of a lens move: the one HALFTONE StretchBlt of a screen picture's
  // 250 x 250 square to 500 x 500 that any 2x lens needs, nothing else.
  const HDC screenDc = ::GetDC(nullptr);
  pv::effects::CMemoryCanvas picture, lensImage;
  const bool pictures = picture.Create(screenDc, screenW, screenH) && lensImage.Create(screenDc, 500, 500);
  ::ReleaseDC(nullptr, screenDc);
  if (!pictures) {
    std::fprintf(stderr, "overlays_bench: no memory canvas for the lens floor\n");
    return false;
  }
  const Timing floor = Measure(
      "floor: bare HALFTONE StretchBlt 250 x 250 -> 500 x 500",
      [&](int i) {
        const PixelPoint at = PathPoint(i);
        ::SetStretchBltMode(lensImage.Dc(), HALFTONE);
        ::SetBrushOrgEx(lensImage.Dc(), 0, 0, nullptr);
        ::StretchBlt(lensImage.Dc(), 0, 0, 500, 500, picture.Dc(), at.x - 125, at.y - 125, 250, 250, SRCCOPY);
        ::GdiFlush();
      },
      kMoves, "reference");
  if (floor.median <= 0) return false;
  pv::bench::PrintFigure("lens move + render / floor", lens.median / floor.median, lens.p99 / floor.p99, "x",
                         "ratio to the floor");

  m_windows.ShowCircle(Square(PathPoint(0), 75), 0xFF0000);
  Pump(50);
  measured &= Measure("circle move (CircleSize 150)", [&](int i) {
                m_windows.MoveCircle(Square(PathPoint(i), 75));
              }).median > 0;
  m_windows.HideCircle();
  return measured;
}

// What showing each effect costs in the program (the part of a remote key
// press's way to the screen that is ours): the window calls of one show,
// with the lens's still picture of the whole screen.
bool OverlayBench::ShowCosts() {
  constexpr int kShows = 200;
  bool measured = true;
  const auto timedShow = [&](const char* name, const std::function<void(int)>& show,
                             const std::function<void()>& hide) {
    measured &= Measure(
                    name,
                    [&](int i) {
                      show(i);
                      hide();
                    },
                    kShows, "reference (part of key -> effect)")
                    .median > 0;
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
  return measured;
}

}  // namespace

int main() {
  OverlayBench bench;
  if (!bench.Open()) {
    std::fprintf(stderr, "overlays_bench: the overlay windows could not be made\n");
    return 1;
  }
  const bool following = bench.PointerFollowingCosts();
  const bool showing = bench.ShowCosts();
  return following && showing ? 0 : 1;
}
