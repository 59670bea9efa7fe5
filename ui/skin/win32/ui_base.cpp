#include "ui/skin/win32/ui_base.h"

#include <wincodec.h>

#include <cstdint>

#include "framework/com.h"
#include "ui/skin/core/png_header.h"
#include "ui/skin/core/premultiply.h"

namespace pv::skin {

namespace {

// Larger pictures than this are refused rather than risk overflowing the
// 32-bit buffer size WIC takes; the program's largest is 621 x 462.
constexpr UINT kMaxSide = 8192;

constexpr BLENDFUNCTION kImageBlend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
constexpr BLENDFUNCTION kDimBlend = {AC_SRC_OVER, 0, 63, 0};
constexpr COLORREF kDimColour = RGB(50, 50, 50);

struct ResourceBytes {
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
};

// The bytes of PNG resource `id`; they live as long as the executable's image.
ResourceBytes FindPngResource(UINT id) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
  if (info == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(module, info);
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {static_cast<const std::uint8_t*>(data), ::SizeofResource(module, info)};
}

// Decodes with WIC straight from the resource memory into a DIB section.
HBITMAP DecodePng(const ResourceBytes& png) {
  const auto header = pv::skin::ReadPngHeader(png.data, png.size);
  if (!header) return nullptr;
  const bool alpha = header->HasAlpha();

  CComInit com;  // WIC is COM; balanced per call, cheap when already initialised
  if (!com.IsUsable()) return nullptr;
  CComPtr<IWICImagingFactory> factory;
  CComPtr<IWICStream> stream;
  CComPtr<IWICBitmapDecoder> decoder;
  CComPtr<IWICBitmapFrameDecode> frame;
  CComPtr<IWICFormatConverter> converter;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.PutVoid())) ||
      FAILED(factory->CreateStream(stream.Put())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data), png.size)) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Put())) ||
      FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(frame->GetSize(&width, &height)) ||
      FAILED(factory->CreateFormatConverter(converter.Put())) ||
      FAILED(converter->Initialize(frame.Get(),
                                   alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return nullptr;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down: row 0 first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = alpha ? 32 : 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  CBitmap dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || bits == nullptr) return nullptr;
  const UINT stride = alpha ? width * 4 : (width * 3 + 3) & ~3u;  // DIB rows are DWORD-aligned
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits))))
    return nullptr;
  if (alpha) {
    pv::skin::PremultiplyBgra(static_cast<std::uint8_t*>(bits), static_cast<int>(width),
                              static_cast<int>(height), stride);
  }
  return dib.Release();
}

BITMAP BitmapInfo(HBITMAP bitmap) {
  BITMAP bm{};
  if (bitmap != nullptr) ::GetObjectW(bitmap, sizeof(bm), &bm);
  return bm;
}

}  // namespace

BOOL UIBase::LoadPng(CBitmap& target, UINT id) {
  const ResourceBytes png = FindPngResource(id);
  if (png.data == nullptr) return FALSE;
  HBITMAP decoded = DecodePng(png);
  if (decoded == nullptr) return FALSE;
  target.Reset(decoded);
  return TRUE;
}

void UIBase::DrawPng(HDC dc, UINT id, int x, int y) {
  CBitmap bitmap;
  if (dc == nullptr || !LoadPng(bitmap, id)) return;
  const BITMAP bm = BitmapInfo(bitmap.Get());
  CMemDC memory(::CreateCompatibleDC(dc));
  if (!memory) return;
  CSelectObject select(memory.Get(), bitmap.Get());
  if (bm.bmBitsPixel == 32) {
    ::AlphaBlend(dc, x, y, bm.bmWidth, bm.bmHeight, memory.Get(), 0, 0, bm.bmWidth, bm.bmHeight, kImageBlend);
  } else {
    ::StretchBlt(dc, x, y, bm.bmWidth, bm.bmHeight, memory.Get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  }
}

BOOL UIBase::GetPngRect(UINT id, RECT* out) {
  if (out == nullptr) return FALSE;
  *out = RECT{};
  CBitmap bitmap;
  if (!LoadPng(bitmap, id)) return FALSE;
  const BITMAP bm = BitmapInfo(bitmap.Get());
  *out = RECT{0, 0, bm.bmWidth, bm.bmHeight};
  return TRUE;
}

void UIBase::DimRect(HDC dc, RECT r) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (dc == nullptr || width <= 0 || height <= 0) return;
  // Only the w x h area is needed; a bitmap sized to r.right x r.bottom would
  // fail for rectangles at negative coordinates and waste memory far from 0.
  CMemDC memory(::CreateCompatibleDC(dc));
  CBitmap shade(::CreateCompatibleBitmap(dc, width, height));
  if (!memory || !shade) return;
  CSelectObject select(memory.Get(), shade.Get());
  FillSolidRect(memory.Get(), RECT{0, 0, width, height}, kDimColour);
  ::AlphaBlend(dc, r.left, r.top, width, height, memory.Get(), 0, 0, width, height, kDimBlend);
}

}  // namespace pv::skin
