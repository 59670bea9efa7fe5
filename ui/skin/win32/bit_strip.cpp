#include "ui/skin/win32/bit_strip.h"

#include "ui/skin/win32/ui_base.h"

namespace pv::skin {

namespace {

constexpr BLENDFUNCTION kImageBlend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

CBitmap LoadOrEmpty(UINT pngId) {
  CBitmap bitmap;
  UIBase::LoadPng(bitmap, pngId);
  return bitmap;
}

}  // namespace

CBitStrip::CBitStrip(UINT pngId, int frameWidth, int frameHeight)
    : m_bitmap(LoadOrEmpty(pngId)),
      m_dc(::CreateCompatibleDC(nullptr)),  // compatible with the screen
      m_select(m_dc.Get(), m_bitmap.Get()) {
  if (m_bitmap) ::GetObjectW(m_bitmap.Get(), sizeof(m_bm), &m_bm);
  // Per-pixel alpha needs 32-bit pixels; a picture without alpha is copied.
  m_bAlpha = m_bm.bmBitsPixel == 32;
  m_geometry = pv::skin::MakeStripGeometry(m_bm.bmWidth, m_bm.bmHeight, frameWidth, frameHeight);
}

BOOL CBitStrip::GetFrameRect(RECT* out, int index) const {
  pv::skin::SkinRect frame;
  if (out == nullptr || !pv::skin::GetFrameRect(m_geometry, index, &frame)) return FALSE;
  *out = RECT{frame.left, frame.top, frame.right, frame.bottom};
  return TRUE;
}

BOOL CBitStrip::DrawFrameAt(HDC dc, int index, int x, int y) const {
  RECT frame;
  if (dc == nullptr || !GetFrameRect(&frame, index)) return FALSE;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (m_bAlpha) {
    return ::AlphaBlend(dc, x, y, width, height, m_dc.Get(), frame.left, frame.top, width, height,
                        kImageBlend);
  }
  return ::BitBlt(dc, x, y, width, height, m_dc.Get(), frame.left, frame.top, SRCCOPY);
}

BOOL CBitStrip::Blit(HDC dc, int x, int y, int cx, int cy, int srcX, int srcY) const {
  if (dc == nullptr) return FALSE;
  if (cx == 0) cx = m_bm.bmWidth;
  if (cy == 0) cy = m_bm.bmHeight;
  return ::BitBlt(dc, x, y, cx, cy, m_dc.Get(), srcX, srcY, SRCCOPY);
}

BOOL CBitStrip::Blend(HDC dc, int x, int y, int cx, int cy, int srcX, int srcY) const {
  if (dc == nullptr) return FALSE;
  if (!m_bAlpha) return Blit(dc, x, y, cx, cy, srcX, srcY);
  if (cx <= 0 || cy <= 0) return FALSE;
  return ::AlphaBlend(dc, x, y, cx, cy, m_dc.Get(), srcX, srcY, cx, cy, kImageBlend);
}

}  // namespace pv::skin
