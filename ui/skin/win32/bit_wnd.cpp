#include "ui/skin/win32/bit_wnd.h"

#include <windowsx.h>

#include "framework/gdi.h"
#include "framework/window_class.h"

namespace pv::skin {

bool CBitWnd::CreateChild(HWND parent) {
  const std::wstring cls =
      RegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                       static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  if (cls.empty()) return false;
  return CreateEx(0, cls.c_str(), L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, 0);
}

void CBitWnd::Apply(pv::skin::ButtonEvent event) {
  m_look = pv::skin::NextButtonLook(m_look, event, FrameCount(), m_bToggle != FALSE);
}

void CBitWnd::Draw(HDC dc) const {
  if (!m_strip) return;
  if (!m_drawBehind) {
    m_strip->DrawFrame(dc, m_look.frame);
    return;
  }
  // Composed off screen and copied once: no half-drawn thumb is ever seen.
  const RECT client = GetClientRect();
  CMemDC memory(::CreateCompatibleDC(dc));
  CBitmap bitmap(::CreateCompatibleBitmap(dc, client.right, client.bottom));
  CSelectObject select(memory.Get(), bitmap.Get());
  m_drawBehind(memory.Get());
  m_strip->DrawFrame(memory.Get(), m_look.frame);
  ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

void CBitWnd::EndPress() {
  const bool over = PointerIsOver();
  Apply(over ? pv::skin::ButtonEvent::kButtonUp : pv::skin::ButtonEvent::kLeave);
  // The capture ended the hover tracking: under the pointer it is asked for
  // at once, so leaving in one jump still ends the hover look.
  m_bTracking = over && TrackLeave();
  Invalidate(TRUE);
}

bool CBitWnd::PointerIsOver() const {
  POINT cursor{};
  return ::GetCursorPos(&cursor) && ::WindowFromPoint(cursor) == m_hWnd;
}

bool CBitWnd::TrackLeave() {
  TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, 1};
  return ::TrackMouseEvent(&track) != FALSE;
}

void CBitWnd::SendCommand() {
  const int id = ::GetDlgCtrlID(m_hWnd);
  ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

// The mouse message again, for the parent, at the same screen point.
void CBitWnd::Forward(UINT msg, WPARAM keys, LPARAM point) {
  POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  const HWND parent = GetParent();
  ::ClientToScreen(m_hWnd, &p);
  ::ScreenToClient(parent, &p);
  ::SendMessageW(parent, msg, keys, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

LRESULT CBitWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      // The whole look: the frame blended over what the window shows, so the
      // control below shows through the picture's transparent pixels.
      Draw(reinterpret_cast<HDC>(wp));
      return TRUE;
    case WM_SETCURSOR:
      if (m_hCursor == nullptr) return FALSE;
      ::SetCursor(m_hCursor);
      return TRUE;
    case WM_MOUSEMOVE:
      // The parent (the trackbar) arms hover tracking for itself when it
      // hears of the move, which ends ours: forward first, then ask again.
      if (m_bForwardMouse) {
        Forward(msg, wp, lp);
        m_bTracking = false;
      }
      if (!m_bTracking) m_bTracking = TrackLeave();
      return 0;
    case WM_MOUSEHOVER:
      Apply(pv::skin::ButtonEvent::kHover);
      Invalidate(TRUE);
      return 0;
    case WM_MOUSELEAVE:
      m_bTracking = false;
      // A leave from handing the tracking over to the parent while the
      // pointer is still here keeps the look; the next move re-arms.
      if (PointerIsOver()) return 0;
      Apply(pv::skin::ButtonEvent::kLeave);
      Invalidate(TRUE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second press is a press too
      Apply(pv::skin::ButtonEvent::kButtonDown);
      Invalidate(TRUE);
      if (m_bCommandOnDown) SendCommand();
      if (m_bForwardMouse) Forward(WM_LBUTTONDOWN, wp, lp);
      return 0;
    case WM_LBUTTONUP: {
      const pv::skin::ButtonLook before = m_look;
      Apply(pv::skin::ButtonEvent::kButtonUp);
      if (!(m_look == before)) Invalidate(TRUE);
      if (!m_bCommandOnDown) SendCommand();
      if (m_bForwardMouse) Forward(msg, wp, lp);
      return 0;
    }
    default:
      break;
  }
  return CWnd::WindowProc(msg, wp, lp);
}

}  // namespace pv::skin
