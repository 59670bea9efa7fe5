#include "update/win32/question_box.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "framework/strings.h"
#include "framework/user_handles.h"
#include "resources/resource_ids.h"
#include "update/core/update_texts.h"
#include "update/win32/version_string.h"

namespace pv::update::win32 {
namespace {

// The hook of the question box being shown on this thread. Thread-local, so
// another thread's message box is never touched.
struct ButtonHook {
  HHOOK hook = nullptr;
  QuestionButtons texts{};
};
thread_local ButtonHook* t_buttonHook = nullptr;

bool IsDialogWindow(HWND window) {
  wchar_t className[16] = L"";
  ::GetClassNameW(window, className, 16);
  return std::wstring(className) == L"#32770";
}

RECT ClientRectOf(HWND box, HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int TextWidth(HWND control, const std::wstring& text) {
  HDC dc = ::GetDC(control);
  const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return size.cx;
}

// The box sized its buttons for the platform's own words; longer texts
// ("&Download by IE") get wider buttons, still side by side and centred,
// and the box grows when they need more room.
void FitButtons(HWND box) {
  const int ids[] = {IDYES, IDNO, IDCANCEL};
  HWND buttons[3];
  for (int i = 0; i < 3; ++i) {
    buttons[i] = ::GetDlgItem(box, ids[i]);
    if (buttons[i] == nullptr) return;
  }
  const RECT first = ClientRectOf(box, buttons[0]);
  const RECT second = ClientRectOf(box, buttons[1]);
  const int gap = second.left - first.right;
  const int height = first.bottom - first.top;
  const int padding = height;  // room left and right of the text, as the platform leaves it
  int widths[3];
  int total = 2 * gap;
  for (int i = 0; i < 3; ++i) {
    wchar_t text[64] = L"";
    ::GetWindowTextW(buttons[i], text, 64);
    widths[i] = std::max<int>(first.right - first.left, TextWidth(buttons[i], text) + padding);
    total += widths[i];
  }
  RECT client{};
  ::GetClientRect(box, &client);
  const int margin = std::max<int>(gap, 12);
  if (total + 2 * margin > client.right) {
    RECT outer{};
    ::GetWindowRect(box, &outer);
    const int grow = total + 2 * margin - client.right;
    ::SetWindowPos(box, nullptr, outer.left - grow / 2, outer.top, outer.right - outer.left + grow,
                   outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
    client.right += grow;
  }
  int x = (client.right - total) / 2;
  for (int i = 0; i < 3; ++i) {
    ::MoveWindow(buttons[i], x, first.top, widths[i], height, TRUE);
    x += widths[i] + gap;
  }
}

// Some platforms (Wine) activate the box before its WM_INITDIALOG lays the
// buttons out; the fit is then made again after that layout.
LRESULT CALLBACK RefitAfterLayout(HWND box, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) {
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(box, RefitAfterLayout, id);
  const LRESULT result = ::DefSubclassProc(box, msg, wp, lp);
  if (msg == WM_INITDIALOG || msg == WM_SHOWWINDOW) FitButtons(box);
  return result;
}

LRESULT CALLBACK RenameButtonsHook(int code, WPARAM wp, LPARAM lp) {
  ButtonHook* active = t_buttonHook;
  if (active == nullptr) return 0;
  const HHOOK hook = active->hook;
  if (code == HCBT_ACTIVATE && IsDialogWindow(reinterpret_cast<HWND>(wp))) {
    const HWND box = reinterpret_cast<HWND>(wp);
    ::SetDlgItemTextW(box, IDYES, std::wstring(active->texts.yes).c_str());
    ::SetDlgItemTextW(box, IDNO, std::wstring(active->texts.no).c_str());
    ::SetDlgItemTextW(box, IDCANCEL, std::wstring(active->texts.cancel).c_str());
    FitButtons(box);
    ::SetWindowSubclass(box, RefitAfterLayout, 1, 0);
    ::UnhookWindowsHookEx(hook);
    active->hook = nullptr;
    t_buttonHook = nullptr;
  }
  return ::CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

std::wstring MessageCaption() {
  std::wstring name = RunningProgramPath();
  name = name.substr(name.find_last_of(L"\\/") + 1);
  return name.substr(0, name.find_last_of(L'.'));
}

void CCheckUi::ShowMessage(CheckMessage message) {
  waitCursor_.Restore();
  std::wstring text;
  switch (message) {
    case CheckMessage::kCannotConnect:
      text = kCannotConnectText;
      break;
    case CheckMessage::kLatestVersion:
      text = LoadResString(IDS_LATEST_VERSION);
      break;
    case CheckMessage::kCheckFailed:
      text = CheckFailedText(chineseUi_);
      break;
  }
  ::MessageBoxW(owner_, text.c_str(), MessageCaption().c_str(), MB_OK);
}

int CCheckUi::AskToUpdate() {
  waitCursor_.Restore();
  const std::wstring text = LoadResString(IDS_UPDATE_QUESTION);
  const std::wstring caption = LoadResString(IDS_PRODUCT_NAME);
  ButtonHook state{nullptr, QuestionButtonTexts(chineseUi_)};
  t_buttonHook = &state;
  state.hook = ::SetWindowsHookExW(WH_CBT, RenameButtonsHook, nullptr, ::GetCurrentThreadId());
  const int answer = ::MessageBoxW(owner_, text.c_str(), caption.c_str(), MB_YESNOCANCEL);
  // The box normally removed the hook when it was activated.
  if (state.hook != nullptr) ::UnhookWindowsHookEx(state.hook);
  t_buttonHook = nullptr;
  return answer;
}

}  // namespace pv::update::win32
