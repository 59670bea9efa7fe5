#include "ui/skin/win32/timer_edit.h"

#include <string>

#include "ui/skin/core/minutes_step.h"

namespace pv::skin {

using pv::skin::StepKey;

namespace {

bool StepKeyOf(WPARAM key, StepKey& step) {
  switch (key) {
    case VK_UP:
      step = StepKey::kUp;
      return true;
    case VK_DOWN:
      step = StepKey::kDown;
      return true;
    case VK_PRIOR:
      step = StepKey::kPageUp;
      return true;
    case VK_NEXT:
      step = StepKey::kPageDown;
      return true;
    default:
      return false;
  }
}

}  // namespace

void CTimerEdit::SetTextColor(COLORREF colour) {
  m_textColor = colour;
  RedrawInParent();
}

// The box has a transparent extended style, so the page behind it is part of
// what the user sees: both are redrawn.
void CTimerEdit::RedrawInParent() {
  if (m_hWnd == nullptr) return;
  HWND parent = GetParent();
  RECT r = GetWindowRect();
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  ::RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT CTimerEdit::OnCtlColor(HDC dc) {
  if (!m_bkBrush) m_bkBrush.Reset(::CreateSolidBrush(m_bkColor));
  ::SetBkColor(dc, m_bkColor);
  ::SetTextColor(dc, m_textColor);
  return reinterpret_cast<LRESULT>(m_bkBrush.Get());
}

// True when the key changed the number. The parent's change handler has
// then already seen the new text (and may have corrected and selected it).
bool CTimerEdit::OnStepKey(WPARAM key) {
  StepKey step{};
  if (!StepKeyOf(key, step)) return false;
  const auto next = pv::skin::StepMinutes(step, pv::skin::MinutesValue(GetWindowText()));
  if (!next) return false;
  const std::wstring text = pv::skin::MinutesText(*next);
  SetWindowText(text.c_str());
  // A plain step leaves the caret after the digits, ready for more typing; a
  // correction by the parent keeps its selection.
  DWORD start = 0, end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start == 0 && end == 0) SetSel(static_cast<int>(text.size()), static_cast<int>(text.size()));
  return true;
}

LRESULT CTimerEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_REFLECT_BASE + WM_CTLCOLOREDIT:
    case WM_REFLECT_BASE + WM_CTLCOLORSTATIC:
      return OnCtlColor(reinterpret_cast<HDC>(wp));
    case WM_REFLECT_BASE + WM_COMMAND:
      if (HIWORD(wp) == EN_UPDATE) RedrawInParent();
      return 0;  // the parent's default processing goes on
    case WM_KILLFOCUS: {
      const LRESULT result = DefaultProc(msg, wp, lp);
      ::PostMessageW(GetParent(), m_doneMessage, 0, 0);
      return result;
    }
    case WM_KEYDOWN:
      // A step replaces the text; moving the caret as well (an arrow key's
      // default in a one-line box) would drop the selection the parent
      // makes to show a limit, so a key that stepped goes no further.
      if (OnStepKey(wp)) return 0;
      return DefaultProc(msg, wp, lp);
    default:
      break;
  }
  return CEdit::WindowProc(msg, wp, lp);
}

}  // namespace pv::skin
