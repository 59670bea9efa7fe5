#include "update/win32/question_box.h"

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

LRESULT CALLBACK RenameButtonsHook(int code, WPARAM wp, LPARAM lp) {
  ButtonHook* active = t_buttonHook;
  if (active == nullptr) return 0;
  const HHOOK hook = active->hook;
  if (code == HCBT_ACTIVATE && IsDialogWindow(reinterpret_cast<HWND>(wp))) {
    const HWND box = reinterpret_cast<HWND>(wp);
    ::SetDlgItemTextW(box, IDYES, std::wstring(active->texts.yes).c_str());
    ::SetDlgItemTextW(box, IDNO, std::wstring(active->texts.no).c_str());
    ::SetDlgItemTextW(box, IDCANCEL, std::wstring(active->texts.cancel).c_str());
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
