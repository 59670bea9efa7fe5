#include "framework/owned_dialogs.h"

#include <cwchar>
#include <iterator>

namespace {

bool OwnedBy(HWND wnd, HWND owner) {
  for (HWND up = ::GetWindow(wnd, GW_OWNER); up != nullptr; up = ::GetWindow(up, GW_OWNER)) {
    if (up == owner) return true;
  }
  return false;
}

BOOL CALLBACK CloseIfOwned(HWND wnd, LPARAM data) {
  const HWND owner = reinterpret_cast<HWND>(data);
  wchar_t className[16] = {};
  ::GetClassNameW(wnd, className, static_cast<int>(std::size(className)));
  if (wnd != owner && std::wcscmp(className, L"#32770") == 0 && OwnedBy(wnd, owner)) {
    const int answer = ::GetDlgItem(wnd, IDNO) != nullptr ? IDNO : IDCANCEL;
    ::PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
  }
  return TRUE;
}

}  // namespace

void CloseOwnedDialogs(HWND owner) {
  ::EnumThreadWindows(::GetCurrentThreadId(), &CloseIfOwned, reinterpret_cast<LPARAM>(owner));
}
