#include "ui/skin/win32/picture_cache.h"

namespace pv::skin {

const CBitStrip& CPictureCache::Get(UINT id) {
  auto found = m_pictures.find(id);
  if (found == m_pictures.end()) found = m_pictures.emplace(id, std::make_unique<CBitStrip>(id, 0, 0)).first;
  return *found->second;
}

BOOL CPictureCache::GetRect(UINT id, RECT* out) {
  if (out == nullptr) return FALSE;
  const BITMAP& bm = Get(id).GetBitmapInfo();
  *out = RECT{0, 0, bm.bmWidth, bm.bmHeight};
  return bm.bmWidth > 0 && bm.bmHeight > 0;
}

void CPictureCache::Draw(HDC dc, UINT id, int x, int y) {
  Get(id).DrawFrameAt(dc, 0, x, y);
}

void CPictureCache::Copy(HDC dc, UINT id) {
  const CBitStrip& picture = Get(id);
  if (picture.GetFrameCount() == 0) return;
  picture.Blit(dc, 0, 0, 0, 0, 0, 0);
}

}  // namespace pv::skin
