#include "ui/skin/win32/bit_slider.h"

#include <algorithm>
#include <string>

#include "framework/gdi.h"
#include "framework/win32_rect.h"

namespace pv::skin {

CBitSlider::~CBitSlider() {
  // The thumb and the tooltip go with their windows; the pictures with the
  // last owner of each.
  m_toolTip.DestroyWindow();
}

void CBitSlider::AttachThumb(std::shared_ptr<const CBitStrip> thumbStrip, HCURSOR thumbCursor) {
  if (!thumbStrip || m_thumb.GetSafeHwnd() != nullptr || m_hWnd == nullptr) return;
  if (!m_thumb.CreateChild(m_hWnd)) return;
  const int width = thumbStrip->GetFrameWidth();
  const int height = thumbStrip->GetFrameHeight();
  m_thumb.SetStrip(std::move(thumbStrip));
  m_thumb.m_hCursor = thumbCursor;
  m_thumb.MoveWindow(0, 0, width, height, TRUE);
  m_thumb.m_bForwardMouse = TRUE;

  if (m_toolTip.Create(m_hWnd, 0)) {
    m_toolTip.AddTool(m_hWnd, L"");
    m_toolTip.AddTool(m_thumb.GetSafeHwnd(), L"");
    // Shows after 100 ms, stays 1 s, 20 ms between neighbouring tools.
    m_toolTip.SetDelayTime(TTDT_AUTOMATIC, 100);
  }
  RefreshTip();
}

void CBitSlider::SetChannel(std::shared_ptr<const CBitStrip> filled, std::shared_ptr<const CBitStrip> empty) {
  if (m_hWnd == nullptr || !filled || !empty || filled->GetFrameCount() == 0 || empty->GetFrameCount() == 0) {
    return;
  }
  const int width = filled->GetFrameWidth();
  const int height = filled->GetFrameHeight();
  m_filled = std::move(filled);
  m_empty = std::move(empty);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CBitSlider::GetThumbRect() const {
  const RECT thumb = m_thumb.GetSafeHwnd() != nullptr ? m_thumb.GetClientRect() : RECT{};
  const pv::PixelRect r =
      pv::skin::ThumbWindowRect(pv::ToPixelRect(CSliderCtrl::GetThumbRect()), thumb.right - thumb.left,
                                thumb.bottom - thumb.top, m_thumbOffset);
  return pv::ToRect(r);
}

void CBitSlider::RefreshTip() {
  if (!m_tip.Update(GetPos())) return;
  const std::wstring text(m_tip.Text().begin(), m_tip.Text().end());  // digits and '-' only
  m_toolTip.UpdateTipText(text.c_str(), m_hWnd);
  if (m_thumb.GetSafeHwnd() != nullptr) m_toolTip.UpdateTipText(text.c_str(), m_thumb.GetSafeHwnd());
}

bool CBitSlider::CanDraw() const {
  return m_thumb.GetSafeHwnd() != nullptr && m_filled && m_empty;
}

void CBitSlider::SetBackdrop(const CBitStrip* picture, POINT at) {
  m_backdrop = picture;
  m_backdropAt = at;
  m_thumb.m_drawBehind = [this](HDC dc) { DrawBehindThumb(dc); };
}

void CBitSlider::ComposeChannel(HDC dc, const RECT& area, int split) const {
  const RECT client = GetClientRect();
  const pv::skin::ChannelParts parts = pv::skin::ChannelPartsAt(split, client.right, client.bottom);
  if (m_backdrop != nullptr) {
    m_backdrop->Blit(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     m_backdropAt.x + area.left, m_backdropAt.y + area.top);
  }
  // Each picture is read at the x where it is drawn, clipped to the area.
  const auto draw = [&](const CBitStrip& picture, const pv::PixelRect& part) {
    const int left = std::max<int>(part.left, area.left);
    const int right = std::min<int>(part.right, area.right);
    const int top = std::max<int>(part.top, area.top);
    const int bottom = std::min<int>(part.bottom, area.bottom);
    if (right <= left || bottom <= top) return;
    if (m_backdrop != nullptr) {
      picture.Blend(dc, left, top, right - left, bottom - top, left, top);
    } else {
      picture.Blit(dc, left, top, right - left, bottom - top, left, top);
    }
  };
  draw(*m_filled, parts.filled);
  draw(*m_empty, parts.empty);
}

// The channel under the thumb window, for the thumb to blend its frame over.
void CBitSlider::DrawBehindThumb(HDC dc) const {
  if (!CanDraw()) return;
  const RECT thumb = GetThumbRect();
  POINT old{};
  ::SetViewportOrgEx(dc, -thumb.left, -thumb.top, &old);
  ComposeChannel(dc, thumb, pv::skin::ChannelSplit(pv::ToPixelRect(thumb)));
  ::SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

// Composed off screen and copied once, leaving out the thumb while it stays
// where it is (it draws itself), so neither the channel nor the thumb flickers.
void CBitSlider::OnPaint() {
  CPaintDC paint(m_hWnd);
  if (!CanDraw()) return;
  const RECT client = GetClientRect();
  const RECT thumb = GetThumbRect();
  const int split = pv::skin::ChannelSplit(pv::ToPixelRect(thumb));
  const HDC dc = paint.Get();

  CMemDC memory(::CreateCompatibleDC(dc));
  CBitmap bitmap(::CreateCompatibleBitmap(dc, client.right, client.bottom));
  {
    CSelectObject select(memory.Get(), bitmap.Get());
    ComposeChannel(memory.Get(), client, split);

    const RECT now = m_thumb.GetWindowRect();
    POINT at{now.left, now.top};
    ::ScreenToClient(m_hWnd, &at);
    const bool thumbInPlace = at.x == thumb.left && at.y == thumb.top;
    if (thumbInPlace) ::ExcludeClipRect(dc, thumb.left, thumb.top, thumb.right, thumb.bottom);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
    if (!thumbInPlace) {
      m_thumb.MoveWindow(thumb.left, thumb.top, thumb.right - thumb.left, thumb.bottom - thumb.top, TRUE);
    }
  }
}

LRESULT CBitSlider::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return TRUE;  // the channel covers the whole slider
    case WM_MOUSEMOVE:
      Invalidate(FALSE);
      RefreshTip();
      return DefaultProc(msg, wp, lp);
    case WM_LBUTTONUP: {
      Invalidate(TRUE);
      RefreshTip();
      const LRESULT result = DefaultProc(msg, wp, lp);
      // The trackbar had the mouse since the press on the thumb: the thumb
      // never saw the release.
      m_thumb.EndPress();
      return result;
    }
    case WM_CAPTURECHANGED: {
      // The drag ended another way (another window took the mouse).
      const LRESULT result = DefaultProc(msg, wp, lp);
      if (m_thumb.GetFrame() == pv::skin::kFramePressed) m_thumb.EndPress();
      return result;
    }
    case WM_MOUSEWHEEL:
      return TRUE;  // the wheel never moves the slider
    case WM_SETCURSOR:
      if (m_hCursor == nullptr) return FALSE;
      ::SetCursor(m_hCursor);
      return TRUE;
    default:
      break;
  }
  return CSliderCtrl::WindowProc(msg, wp, lp);
}

BOOL CBitSlider::PreTranslateMessage(MSG* msg) {
  if (m_toolTip.GetSafeHwnd() != nullptr) m_toolTip.RelayEvent(msg);
  return CSliderCtrl::PreTranslateMessage(msg);
}

}  // namespace pv::skin
