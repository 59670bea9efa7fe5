// Cost of the drawing calls the main window makes in every paint. Prints
// figures; the only checks are that the drawing happened.
#include <gtest/gtest.h>

#include <cstdio>

#include "framework/com.h"
#include "tests/windows/skin/canvas.h"
#include "tests/windows/skin/skin_test_ids.h"
#include "ui/skin/win32/bit_strip.h"
#include "ui/skin/win32/picture_cache.h"
#include "ui/skin/win32/ui_base.h"

namespace {

template <typename Body>
double MicrosecondsPerCall(int calls, Body body) {
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < calls; ++i) body();
  ::GdiFlush();
  ::QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart) /
         calls;
}

TEST(SkinBenchmark, PageBackgroundDimAndStripFrame) {
  Canvas canvas(621, 462, RGB(0, 0, 0));
  const double page = MicrosecondsPerCall(20, [&] { UIBase::DrawPng(canvas.Dc(), IDP_TEST_PAGE, 0, 0); });
  RECT rect;
  const double measure = MicrosecondsPerCall(20, [&] { UIBase::GetPngRect(IDP_TEST_PAGE, &rect); });
  const double dim = MicrosecondsPerCall(200, [&] { UIBase::DimRect(canvas.Dc(), RECT{15, 103, 305, 251}); });
  CBitStrip strip(IDP_TEST_STRIP, 10, 18);
  const double frame = MicrosecondsPerCall(2000, [&] { strip.DrawFrame(canvas.Dc(), 1); });
  double pageWithCom;
  {
    CComInit com;  // as an application that keeps COM up on its user-interface thread
    pageWithCom = MicrosecondsPerCall(20, [&] { UIBase::DrawPng(canvas.Dc(), IDP_TEST_PAGE, 0, 0); });
  }
  strip.DrawFrame(canvas.Dc(), 1);
  std::printf("DrawPng 621x462 with COM kept initialised: %.0f us\n", pageWithCom);
  std::printf(
      "DrawPng 621x462: %.0f us, GetPngRect 621x462: %.0f us, DimRect 290x148: %.0f us, "
      "CBitStrip::DrawFrame 10x18: %.1f us\n",
      page, measure, dim, frame);
  EXPECT_EQ(rect.right, 621);
  EXPECT_EQ(rect.bottom, 462);
  EXPECT_EQ(canvas.Pixel(0, 0), (Rgb{0, 255, 0}));    // the strip's second frame, drawn last
  EXPECT_NE(canvas.Pixel(600, 400), (Rgb{0, 0, 0}));  // the page reached the canvas
}

TEST(SkinBenchmark, PageBackgroundFromThePictureCache) {
  // What the main window's paint costs now: the page decoded once, then copied.
  Canvas canvas(621, 462, RGB(0, 0, 0));
  CPictureCache pictures;
  const double first = MicrosecondsPerCall(1, [&] { pictures.Copy(canvas.Dc(), IDP_TEST_PAGE); });
  const double again = MicrosecondsPerCall(200, [&] { pictures.Copy(canvas.Dc(), IDP_TEST_PAGE); });
  const double part = MicrosecondsPerCall(2000, [&] {
    // A repaint clipped to one switch: GDI copies only the clipped area.
    CRgn clip(::CreateRectRgn(555, 175, 600, 191));
    ::SelectClipRgn(canvas.Dc(), clip.Get());
    pictures.Copy(canvas.Dc(), IDP_TEST_PAGE);
    ::SelectClipRgn(canvas.Dc(), nullptr);
  });
  std::printf(
      "page background from the cache: first paint (decode) %.0f us, every later paint %.0f us, "
      "clipped to a 45x16 switch %.1f us\n",
      first, again, part);
  EXPECT_NE(canvas.Pixel(600, 400), (Rgb{0, 0, 0}));
}

}  // namespace
