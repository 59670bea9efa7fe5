// The magnifier and the desktop compositor. On Windows the screen is
// composed asynchronously: right after a window is hidden, a copy of the
// screen may still show it. The fake compositor here brings the screen up to
// date only when waited for (the backdrop turns grey), so a capture that
// does not wait magnifies the old screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/win32/zoom_wnd.h"
#include "tests/windows/effects/overlay_fixture.h"

namespace pv::effects::test {
namespace {

class FakeCompositor final : public Compositor {
 public:
  explicit FakeCompositor(Backdrop& backdrop) : m_backdrop(backdrop) {}
  void DisableTransitions(HWND) override { calls.push_back("no transitions"); }
  void Cloak(HWND window, bool cloaked) override {
    RECT dirty{};
    const bool painted = ::GetUpdateRect(window, &dirty, FALSE) == FALSE;
    std::string call =
        std::string(cloaked ? "cloak" : "uncloak") + (::IsWindowVisible(window) ? " shown" : " hidden");
    if (!cloaked) call += painted ? " painted" : " unpainted";
    calls.push_back(call);
  }
  void WaitForComposition() override {
    calls.push_back("wait");
    m_backdrop.TurnGrey();  // what the screen shows once composed
    Pump(100);
  }
  std::vector<std::string> calls;

 private:
  Backdrop& m_backdrop;
};

TEST_F(OverlayTest, TheLensWaitsForTheCompositionBeforeItsPictureAndIsPaintedBeforeItShows) {
  FakeCompositor compositor(m_backdrop);
  pv::effects::CZoomWnd lens;
  lens.SetCompositor(&compositor);
  ASSERT_TRUE(lens.CreateOverlay(m_windows.Owner(), m_screen));
  const PixelPoint pointer{700, 500};
  lens.Show(Square(pointer, 200), true);
  // Cloaked while hidden, shown and painted before it is uncloaked.
  EXPECT_EQ(compositor.calls, (std::vector<std::string>{"wait", "cloak hidden", "uncloak shown painted"}));
  Pump(150);
  // The picture is of the composed screen (grey), not of the screen before.
  EXPECT_TRUE(Near(ScreenShot::Primary().At(pointer.x + 20, pointer.y), (Rgb{128, 128, 128}), 2));
  lens.Hide();
}

}  // namespace
}  // namespace pv::effects::test
