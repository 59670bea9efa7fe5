#include "app/win32/running_copy_notice.h"

#include <commctrl.h>

namespace pv::app {
namespace {

// The notice being shown on this thread (thread-local: no other box is touched).
struct NoticeState {
  HHOOK hook = nullptr;
  HWND running = nullptr;
  UINT showMessage = 0;
  bool handedOver = false;
};
thread_local NoticeState* t_notice = nullptr;

void HandOver(NoticeState& state) {
  if (state.handedOver) return;
  state.handedOver = true;
  DWORD runningProcess = 0;
  ::GetWindowThreadProcessId(state.running, &runningProcess);
  if (runningProcess != 0) ::AllowSetForegroundWindow(runningProcess);
  ::PostMessageW(state.running, state.showMessage, 0, 0);
}

// The hand-over follows the notice's activation after a moment (the
// activation may still be completing when it is reported); a notice whose
// activation is never reported hands over a little later.
constexpr UINT_PTR kHandOverTimer = 0x5056;
constexpr UINT kHandOverAfterActiveMs = 150;
constexpr UINT kHandOverLatestMs = 500;

// Once the notice is the active window, the running copy may come forward.
LRESULT CALLBACK HandOverWhenActive(HWND box, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(box, HandOverWhenActive, id);
  if (msg == WM_TIMER && wp == kHandOverTimer) {
    ::KillTimer(box, kHandOverTimer);
    HandOver(*reinterpret_cast<NoticeState*>(data));
    return 0;
  }
  const LRESULT result = ::DefSubclassProc(box, msg, wp, lp);
  if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE && !reinterpret_cast<NoticeState*>(data)->handedOver) {
    ::SetTimer(box, kHandOverTimer, kHandOverAfterActiveMs, nullptr);
  }
  return result;
}

LRESULT CALLBACK PlaceNoticeInFront(int code, WPARAM wp, LPARAM lp) {
  NoticeState* state = t_notice;
  if (state == nullptr) return 0;
  const HHOOK hook = state->hook;
  if (code == HCBT_ACTIVATE) {
    const HWND box = reinterpret_cast<HWND>(wp);
    ::SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowSubclass(box, HandOverWhenActive, 1, reinterpret_cast<DWORD_PTR>(state));
    ::SetTimer(box, kHandOverTimer, kHandOverLatestMs, nullptr);
    ::UnhookWindowsHookEx(hook);
    state->hook = nullptr;
    t_notice = nullptr;
  }
  return ::CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

void ShowNoticeAndHandOver(HWND running, UINT showMessage, const std::wstring& text,
                           const std::wstring& caption) {
  NoticeState state{nullptr, running, showMessage, false};
  t_notice = &state;
  state.hook = ::SetWindowsHookExW(WH_CBT, PlaceNoticeInFront, nullptr, ::GetCurrentThreadId());
  ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
  if (state.hook != nullptr) ::UnhookWindowsHookEx(state.hook);
  t_notice = nullptr;
  HandOver(state);  // the notice never became active: hand over now
}

}  // namespace pv::app
