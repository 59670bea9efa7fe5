// The settings page's preview: a 290 x 148 black layer at the spotlight's
// opacity with a centred hole, moved with the page, closing the page on
// Escape through its owner.
#include <gtest/gtest.h>

#include "effects/win32/example_wnd.h"
#include "tests/windows/effects/overlay_fixture.h"

namespace pv::effects::test {
namespace {

struct CancelCounter final : pv::effects::PreviewOwner {
  void OnPreviewCancel() override { ++cancels; }
  int cancels = 0;
};

TEST_F(OverlayTest, PreviewIsABlackLayerWithACentredHoleOverThePage) {
  const bool blends = DisplayBlendsAlpha(100, 100);
  pv::effects::CExampleWnd& preview = m_windows.Preview();
  // Brightness 80 gives opacity 215; spotlight 500 on a 1080 side gives 68.
  preview.CreateOrMove(m_main.Get(), 200, 150, 215, 68);
  const HWND wnd = preview.GetSafeHwnd();
  ASSERT_NE(wnd, nullptr);
  EXPECT_FALSE(::IsWindowVisible(wnd));  // created hidden
  preview.ShowPreview();
  Pump(150);
  RECT r;
  ::GetWindowRect(wnd, &r);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 150);
  EXPECT_EQ(r.right - r.left, 290);
  EXPECT_EQ(r.bottom - r.top, 148);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 215);

  const ScreenShot shot = ScreenShot::Primary();
  SaveScreenshot(L"preview");
  const int cx = 200 + 145, cy = 150 + 74;
  EXPECT_TRUE(Near(shot.At(cx, cy), PatternAt(cx, cy), 3));
  EXPECT_TRUE(Near(shot.At(cx + 30, cy), PatternAt(cx + 30, cy), 3));
  EXPECT_TRUE(Near(shot.At(cx + 38, cy), UnderBlackLayer(cx + 38, cy, 215, blends), 3));
  EXPECT_TRUE(Near(shot.At(205, 155), UnderBlackLayer(205, 155, 215, blends), 3));
  EXPECT_TRUE(Near(shot.At(195, 155), PatternAt(195, 155), 3));  // outside the preview

  preview.SetHoleSize(148);  // the largest spotlight: as high as the preview
  EXPECT_FALSE(RegionContains(wnd, 145, 74));
  EXPECT_FALSE(RegionContains(wnd, 145, 3));
  EXPECT_TRUE(RegionContains(wnd, 5, 5));
  preview.SetOpacity(55);  // brightness 0
  ASSERT_TRUE(::GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 55);

  // Later calls only move it (the main window moved), keeping it shown.
  preview.CreateOrMove(m_main.Get(), 260, 190, 215, 68);
  EXPECT_EQ(preview.GetSafeHwnd(), wnd);
  ::GetWindowRect(wnd, &r);
  EXPECT_EQ(r.left, 260);
  EXPECT_EQ(r.top, 190);
  preview.HidePreview();
  EXPECT_FALSE(::IsWindowVisible(wnd));
}

TEST_F(OverlayTest, EscapeInThePreviewCallsTheOwnersCancelOtherKeysDoNot) {
  CancelCounter owner;
  pv::effects::CExampleWnd& preview = m_windows.Preview();
  preview.SetOwner(&owner);
  preview.CreateOrMove(m_main.Get(), 100, 100, 215, 68);
  const HWND wnd = preview.GetSafeHwnd();
  ::SendMessageW(wnd, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(owner.cancels, 0);
  ::SendMessageW(wnd, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(owner.cancels, 1);
  preview.SetOwner(nullptr);
  ::SendMessageW(wnd, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(owner.cancels, 1);
}

}  // namespace
}  // namespace pv::effects::test
