#include <gtest/gtest.h>

#include "tests/windows/framework/gui_counts.h"
#include "tests/windows/skin/canvas.h"
#include "tests/windows/skin/skin_test_ids.h"
#include "ui/skin/win32/bit_strip.h"
#include "ui/skin/win32/ui_base.h"

namespace pv::skin::test {
namespace {

void DrawEverything(HDC dc) {
  UIBase::DrawPng(dc, IDP_TEST_ALPHA, 0, 0);
  UIBase::DrawPng(dc, IDP_TEST_RGB, 0, 0);
  UIBase::DrawPng(dc, IDP_TEST_NOT_PNG, 0, 0);
  UIBase::DimRect(dc, RECT{1, 1, 5, 5});
  RECT rect;
  UIBase::GetPngRect(IDP_TEST_STRIP, &rect);
  CBitStrip strip(IDP_TEST_STRIP, 10, 18);
  strip.DrawFrame(dc, 1);
  strip.Blit(dc, 0, 0, 0, 0, 0, 0);
  CBitStrip missing(IDP_TEST_MISSING, 0, 0);
}

// Every decode, memory DC, shade bitmap and strip is freed on every path,
// including the failing ones.
TEST(SkinLeaks, GdiObjectCountUnchangedAfterManyCycles) {
  Canvas canvas(40, 20, RGB(255, 255, 255));
  DrawEverything(canvas.Dc());  // first use loads WIC and its caches
  const GuiCounts before = CurrentGuiCounts();
  for (int i = 0; i < 200; ++i) DrawEverything(canvas.Dc());
  const GuiCounts after = CurrentGuiCounts();
  std::printf("GDI objects %lu -> %lu, USER objects %lu -> %lu over 200 cycles\n", before.gdi, after.gdi,
              before.user, after.user);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace pv::skin::test
