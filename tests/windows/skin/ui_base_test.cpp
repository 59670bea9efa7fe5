#include "ui/skin/win32/ui_base.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/windows/skin/canvas.h"
#include "tests/windows/skin/skin_test_ids.h"

namespace pv::skin::test {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST(LoadPng, DecodesAlphaPictureToPremultipliedTopDown32Bit) {
  CBitmap bitmap;
  ASSERT_TRUE(UIBase::LoadPng(bitmap, IDP_TEST_ALPHA));
  DIBSECTION dib{};
  ASSERT_EQ(::GetObjectW(bitmap.Get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
  EXPECT_EQ(dib.dsBm.bmWidth, 4);
  EXPECT_EQ(dib.dsBm.bmHeight, 1);
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
  const auto* p = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
  // (r50 g100 b200 a128) -> b100 g50 r25; opaque red unchanged; transparent white -> all zero.
  const std::uint8_t expected[] = {100, 50, 25, 128, 0, 0, 255, 255, 0, 0, 0, 0, 0, 255, 0, 255};
  for (size_t i = 0; i < sizeof(expected); ++i) EXPECT_EQ(p[i], expected[i]) << "byte " << i;
}

TEST(LoadPng, MissingOrUndecodableResourceLeavesTargetEmpty) {
  for (UINT id : {IDP_TEST_MISSING, IDP_TEST_NOT_PNG}) {
    CBitmap bitmap;
    EXPECT_FALSE(UIBase::LoadPng(bitmap, id)) << id;
    EXPECT_FALSE(bitmap.IsValid()) << id;
  }
}

TEST(DrawPng, BlendsPremultipliedPixelsAtThePosition) {
  // Over black the result is the premultiplied colour; over white it is
  // src + (255 - a) * 255 / 255. Transparent pixels leave the canvas alone.
  struct Case {
    COLORREF background;
    Rgb halfPixel;
    Rgb transparentPixel;
  };
  for (const Case& c :
       {Case{kBlack, {25, 50, 100}, {0, 0, 0}}, Case{kWhite, {152, 177, 227}, {255, 255, 255}}}) {
    Canvas canvas(8, 4, c.background);
    UIBase::DrawPng(canvas.Dc(), IDP_TEST_ALPHA, 2, 1);
    EXPECT_TRUE(Near(canvas.Pixel(2, 1), c.halfPixel, 1));
    EXPECT_EQ(canvas.Pixel(3, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(canvas.Pixel(4, 1), c.transparentPixel);
    EXPECT_EQ(canvas.Pixel(5, 1), (Rgb{0, 255, 0}));
    EXPECT_EQ(canvas.Pixel(1, 1), canvas.Pixel(0, 0));  // left of the picture: untouched
    EXPECT_EQ(canvas.Pixel(2, 2), canvas.Pixel(0, 0));  // below it
  }
}

TEST(DrawPng, PictureWithoutAlphaIsCopiedOpaque) {
  Canvas canvas(4, 4, kWhite);
  UIBase::DrawPng(canvas.Dc(), IDP_TEST_RGB, 1, 1);
  EXPECT_EQ(canvas.Pixel(1, 1), (Rgb{10, 20, 30}));
  EXPECT_EQ(canvas.Pixel(2, 1), (Rgb{40, 50, 60}));
  EXPECT_EQ(canvas.Pixel(1, 2), (Rgb{70, 80, 90}));
  EXPECT_EQ(canvas.Pixel(2, 2), (Rgb{100, 110, 120}));
  EXPECT_EQ(canvas.Pixel(3, 3), (Rgb{255, 255, 255}));
}

TEST(DrawPng, MissingPictureDrawsNothing) {
  Canvas canvas(4, 4, kWhite);
  UIBase::DrawPng(canvas.Dc(), IDP_TEST_MISSING, 0, 0);
  UIBase::DrawPng(canvas.Dc(), IDP_TEST_NOT_PNG, 0, 0);
  UIBase::DrawPng(nullptr, IDP_TEST_ALPHA, 0, 0);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.Pixel(x, y), (Rgb{255, 255, 255}));
  }
}

TEST(GetPngRect, SizeOfPictureOrEmptyAndFalse) {
  RECT rect{};
  EXPECT_TRUE(UIBase::GetPngRect(IDP_TEST_STRIP, &rect));
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 30);
  EXPECT_EQ(rect.bottom, 18);
  for (UINT id : {IDP_TEST_MISSING, IDP_TEST_NOT_PNG}) {
    rect = RECT{5, 6, 7, 8};
    EXPECT_FALSE(UIBase::GetPngRect(id, &rect)) << id;
    EXPECT_EQ(rect.left | rect.top | rect.right | rect.bottom, 0) << id;
  }
  EXPECT_FALSE(UIBase::GetPngRect(IDP_TEST_STRIP, nullptr));
}

TEST(DimRect, DarkensOnlyTheRectangle) {
  struct Case {
    COLORREF background;
    Rgb inside;
  };
  for (const Case& c : {Case{kWhite, {204, 204, 204}}, Case{kBlack, {12, 12, 12}}}) {
    Canvas canvas(10, 8, c.background);
    const Rgb outside = canvas.Pixel(0, 0);
    UIBase::DimRect(canvas.Dc(), RECT{2, 3, 7, 6});
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 10; ++x) {
        const bool in = x >= 2 && x < 7 && y >= 3 && y < 6;
        if (in) {
          EXPECT_TRUE(Near(canvas.Pixel(x, y), c.inside, 2)) << x << "," << y;
        } else {
          EXPECT_EQ(canvas.Pixel(x, y), outside) << x << "," << y;
        }
      }
    }
  }
}

TEST(DimRect, RectangleReachingIntoNegativeCoordinatesIsStillDimmed) {
  Canvas canvas(6, 6, kWhite);
  UIBase::DimRect(canvas.Dc(), RECT{-4, -4, 2, 2});
  EXPECT_TRUE(Near(canvas.Pixel(0, 0), (Rgb{204, 204, 204}), 2));
  EXPECT_TRUE(Near(canvas.Pixel(1, 1), (Rgb{204, 204, 204}), 2));
  EXPECT_EQ(canvas.Pixel(2, 2), (Rgb{255, 255, 255}));
  UIBase::DimRect(canvas.Dc(), RECT{4, 4, 4, 6});  // empty: nothing
  EXPECT_EQ(canvas.Pixel(4, 4), (Rgb{255, 255, 255}));
}

}  // namespace
}  // namespace pv::skin::test
