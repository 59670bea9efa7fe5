// Cost of the drawing calls the main window makes in every paint, on the skin
// tests' pictures. Prints figures; fails (exit code 1) only when the drawing
// did not happen, since its times would then measure nothing.
#include <cstdio>

#include "framework/com.h"
#include "tests/bench/figure.h"
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

// False, with the reason on stderr, when the timed call drew nothing.
bool Drawn(bool happened, const char* what) {
  if (!happened) std::fprintf(stderr, "skin_bench: %s\n", what);
  return happened;
}

bool PageBackgroundDimAndStripFrame() {
  Canvas canvas(621, 462, RGB(0, 0, 0));
  const double page =
      MicrosecondsPerCall(20, [&] { pv::skin::UIBase::DrawPng(canvas.Dc(), IDP_TEST_PAGE, 0, 0); });
  RECT rect;
  const double measure = MicrosecondsPerCall(20, [&] { pv::skin::UIBase::GetPngRect(IDP_TEST_PAGE, &rect); });
  const double dim = MicrosecondsPerCall(200, [&] {
    pv::skin::UIBase::DimRect(canvas.Dc(), RECT{15, 103, 305, 251});
  });
  pv::skin::CBitStrip strip(IDP_TEST_STRIP, 10, 18);
  const double frame = MicrosecondsPerCall(2000, [&] { strip.DrawFrame(canvas.Dc(), 1); });
  double pageWithCom;
  {
    CComInit com;  // as an application that keeps COM up on its user-interface thread
    pageWithCom =
        MicrosecondsPerCall(20, [&] { pv::skin::UIBase::DrawPng(canvas.Dc(), IDP_TEST_PAGE, 0, 0); });
  }
  strip.DrawFrame(canvas.Dc(), 1);
  using pv::bench::PrintFigure;
  PrintFigure("DrawPng page 621 x 462", page / 1000, -1, "ms", "<= 16");
  PrintFigure("DrawPng page, COM kept initialised", pageWithCom / 1000, -1, "ms", "<= 16");
  PrintFigure("GetPngRect page", measure / 1000, -1, "ms", "<= 16");
  PrintFigure("DimRect 290 x 148", dim / 1000, -1, "ms", "<= 4");
  PrintFigure("pv::skin::CBitStrip::DrawFrame 10 x 18", frame, -1, "us", "<= 100");
  return Drawn(rect.right == 621 && rect.bottom == 462, "GetPngRect did not measure the page") &&
         Drawn(canvas.Pixel(0, 0) == (Rgb{0, 255, 0}), "the strip's second frame was not drawn") &&
         Drawn(canvas.Pixel(600, 400) != (Rgb{0, 0, 0}), "the page did not reach the canvas");
}

bool PageBackgroundFromThePictureCache() {
  // What the main window's paint costs now: the page decoded once, then copied.
  Canvas canvas(621, 462, RGB(0, 0, 0));
  pv::skin::CPictureCache pictures;
  const double first = MicrosecondsPerCall(1, [&] { pictures.Copy(canvas.Dc(), IDP_TEST_PAGE); });
  const double again = MicrosecondsPerCall(200, [&] { pictures.Copy(canvas.Dc(), IDP_TEST_PAGE); });
  const double part = MicrosecondsPerCall(2000, [&] {
    // A repaint clipped to one switch: GDI copies only the clipped area.
    CRgn clip(::CreateRectRgn(555, 175, 600, 191));
    ::SelectClipRgn(canvas.Dc(), clip.Get());
    pictures.Copy(canvas.Dc(), IDP_TEST_PAGE);
    ::SelectClipRgn(canvas.Dc(), nullptr);
  });
  pv::bench::PrintFigure("page background from the cache, first paint (decode)", first / 1000, -1, "ms",
                         "<= 16");
  pv::bench::PrintFigure("page background from the cache, every later paint", again / 1000, -1, "ms",
                         "<= 16");
  pv::bench::PrintFigure("page background from the cache, clipped to a 45 x 16 switch", part, -1, "us",
                         "<= 100");
  return Drawn(canvas.Pixel(600, 400) != (Rgb{0, 0, 0}), "the cached page did not reach the canvas");
}

}  // namespace

int main() {
  const bool direct = PageBackgroundDimAndStripFrame();
  const bool cached = PageBackgroundFromThePictureCache();
  return direct && cached ? 0 : 1;
}
