// The skinned button and slider on real windows: mouse forwarding in the
// parent's coordinates, the order of the messages a click sends, the frames
// shown, the thumb placed on the trackbar's thumb, and the wheel swallowed.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/window_class.h"
#include "framework/wnd.h"
#include "tests/windows/skin/canvas.h"
#include "tests/windows/skin/skin_test_ids.h"
#include "ui/skin/win32/bit_slider.h"
#include "ui/skin/win32/bit_wnd.h"
#include "ui/skin/win32/picture_cache.h"

namespace pv::skin::test {
namespace {

struct Heard {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};

// A plain parent window that records the messages its children send it.
class CRecordingParent : public CWnd {
 public:
  CRecordingParent() {
    const std::wstring cls = RegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    // A tool window, as the framework tests use: no taskbar button for the
    // desktop to keep track of.
    CreateEx(WS_EX_TOOLWINDOW, cls.c_str(), L"parent", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 400, 200, nullptr);
  }
  ~CRecordingParent() override {
    DestroyWindow();
    MSG msg;  // what the windows left behind in the queue
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  std::vector<Heard> heard;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND || msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP)
      heard.push_back({msg, wp, lp});
    return CWnd::WindowProc(msg, wp, lp);
  }
};

std::shared_ptr<const CBitStrip> ThreeFrames() {
  return std::make_shared<CBitStrip>(IDP_TEST_STRIP, 10, 18);
}

TEST(BitWnd, ForwardsMouseInParentCoordinatesAfterItsCommand) {
  CRecordingParent parent;
  CBitWnd button;
  ASSERT_TRUE(button.CreateChild(parent.GetSafeHwnd()));
  button.SetStrip(ThreeFrames());
  button.m_bForwardMouse = TRUE;
  button.MoveWindow(100, 50, 10, 18, FALSE);

  ::SendMessageW(button.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
  EXPECT_EQ(button.GetFrame(), 2);  // pressed
  ::SendMessageW(button.GetSafeHwnd(), WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(3, 4));
  EXPECT_EQ(button.GetFrame(), 1);  // hover after the release

  ASSERT_EQ(parent.heard.size(), 3u);
  EXPECT_EQ(parent.heard[0].msg, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(parent.heard[0].wp, static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(parent.heard[0].lp, MAKELPARAM(103, 54));
  // On release: the click first, then the forwarded button-up.
  EXPECT_EQ(parent.heard[1].msg, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(HIWORD(parent.heard[1].wp), BN_CLICKED);
  EXPECT_EQ(parent.heard[1].lp, reinterpret_cast<LPARAM>(button.GetSafeHwnd()));
  EXPECT_EQ(parent.heard[2].msg, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(parent.heard[2].lp, MAKELPARAM(103, 54));
}

TEST(BitWnd, WithoutForwardingOnlyTheClickReachesTheParentAndNoCursorIsSet) {
  CRecordingParent parent;
  CBitWnd button;
  ASSERT_TRUE(button.CreateChild(parent.GetSafeHwnd()));
  button.SetStrip(std::make_shared<CBitStrip>(IDP_TEST_STRIP, 0, 0));  // one frame
  ::SendMessageW(button.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(button.GetFrame(), 0);
  ::SendMessageW(button.GetSafeHwnd(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(button.GetFrame(), 0);
  ASSERT_EQ(parent.heard.size(), 1u);
  EXPECT_EQ(parent.heard[0].msg, static_cast<UINT>(WM_COMMAND));

  const HCURSOR before = ::GetCursor();
  EXPECT_EQ(::SendMessageW(button.GetSafeHwnd(), WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), FALSE);
  EXPECT_EQ(::GetCursor(), before);
}

class BitSliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND trackbar = ::CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS,
                                      10, 20, 250, 18, parent.GetSafeHwnd(), reinterpret_cast<HMENU>(1000),
                                      ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(trackbar, nullptr);
    ASSERT_TRUE(slider.SubclassWindow(trackbar));
    slider.AttachThumb(ThreeFrames(), nullptr);
    auto channel = std::make_shared<CBitStrip>(IDP_TEST_PAGE, 0, 0);
    slider.SetChannel(channel, channel);
    slider.SetRange(0, 100, false);
    slider.SetPos(40);
  }
  void TearDown() override { ::DestroyWindow(slider.UnsubclassWindow()); }

  RECT ThumbInSlider() const {
    RECT r = slider.Thumb().GetWindowRect();
    ::MapWindowPoints(nullptr, slider.GetSafeHwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  CRecordingParent parent;
  CBitSlider slider;
};

TEST_F(BitSliderTest, ThumbWindowFollowsTheTrackbarThumbOnEveryPaint) {
  for (int position : {40, 0, 100, 73}) {
    slider.SetPos(position);
    // A paint of the hidden window: nothing reaches a screen, the thumb still moves.
    ::SendMessageW(slider.GetSafeHwnd(), WM_PAINT, 0, 0);
    const RECT trackbar = static_cast<const CSliderCtrl&>(slider).GetThumbRect();
    const RECT thumb = ThumbInSlider();
    EXPECT_EQ(thumb.right - thumb.left, 10) << position;
    EXPECT_EQ(thumb.bottom - thumb.top, 18) << position;
    // Centred on the trackbar's own thumb (truncating halves).
    EXPECT_EQ(thumb.left, trackbar.left + (trackbar.right - trackbar.left) / 2 - 5) << position;
    EXPECT_EQ(thumb.left, slider.GetThumbRect().left) << position;
  }
}

TEST_F(BitSliderTest, WheelLeavesThePositionAndTheSliderTakesTheChannelSize) {
  const RECT client = slider.GetClientRect();
  EXPECT_EQ(client.right, CBitStrip(IDP_TEST_PAGE, 0, 0).GetFrameWidth());
  for (int delta : {WHEEL_DELTA, -WHEEL_DELTA, 3 * WHEEL_DELTA}) {
    ::SendMessageW(slider.GetSafeHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(50, 30));
    EXPECT_EQ(slider.GetPos(), 40);
  }
  // The thumb's wheel reaches nobody either.
  ::SendMessageW(slider.Thumb().GetSafeHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(50, 30));
  EXPECT_EQ(slider.GetPos(), 40);
}

TEST(PictureCache, DecodesEachPictureOnceAndDrawsItWhereAsked) {
  CPictureCache pictures;
  const CBitStrip& first = pictures.Get(IDP_TEST_STRIP);
  EXPECT_EQ(&pictures.Get(IDP_TEST_STRIP), &first);  // the same decoded picture
  RECT rect{};
  EXPECT_TRUE(pictures.GetRect(IDP_TEST_STRIP, &rect));
  EXPECT_EQ(rect.right, 30);
  EXPECT_EQ(rect.bottom, 18);

  Canvas canvas(40, 24, RGB(255, 255, 255));
  pictures.Draw(canvas.Dc(), IDP_TEST_STRIP, 5, 3);  // red, green, blue frames side by side
  EXPECT_EQ(canvas.Pixel(4, 3), (Rgb{255, 255, 255}));
  EXPECT_EQ(canvas.Pixel(5, 3), (Rgb{255, 0, 0}));
  EXPECT_EQ(canvas.Pixel(34, 20), (Rgb{0, 0, 255}));
  EXPECT_EQ(canvas.Pixel(35, 20), (Rgb{255, 255, 255}));

  // A picture that is not there: no size, nothing drawn, asked again without harm.
  EXPECT_FALSE(pictures.GetRect(IDP_TEST_MISSING, &rect));
  EXPECT_EQ(rect.right, 0);
  Canvas blank(8, 8, RGB(255, 255, 255));
  pictures.Draw(blank.Dc(), IDP_TEST_MISSING, 0, 0);
  pictures.Copy(blank.Dc(), IDP_TEST_MISSING);
  EXPECT_EQ(blank.Pixel(0, 0), (Rgb{255, 255, 255}));
}

}  // namespace
}  // namespace pv::skin::test
