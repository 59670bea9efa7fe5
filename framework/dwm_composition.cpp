#include "framework/dwm_composition.h"

namespace {
// dwmapi.h's attribute numbers (Windows 7 and 8 SDKs).
constexpr DWORD kTransitionsForceDisabled = 3;  // DWMWA_TRANSITIONS_FORCEDISABLED
constexpr DWORD kCloak = 13;                    // DWMWA_CLOAK, Windows 8 and later
}  // namespace

CDwmComposition::CDwmComposition() {
  // By its full path: the system's copy, never one planted beside the exe.
  wchar_t path[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length + 12 >= MAX_PATH) return;
  ::lstrcatW(path, L"\\dwmapi.dll");
  m_module = ::LoadLibraryW(path);
  if (m_module == nullptr) return;
  m_setAttribute = reinterpret_cast<SetAttributeFn>(
      reinterpret_cast<void*>(::GetProcAddress(m_module, "DwmSetWindowAttribute")));
  m_flush = reinterpret_cast<FlushFn>(reinterpret_cast<void*>(::GetProcAddress(m_module, "DwmFlush")));
}

CDwmComposition::~CDwmComposition() {
  if (m_module != nullptr) ::FreeLibrary(m_module);
}

void CDwmComposition::SetBool(HWND window, DWORD attribute, bool value) {
  if (m_setAttribute == nullptr || window == nullptr) return;
  const BOOL data = value ? TRUE : FALSE;
  m_setAttribute(window, attribute, &data, sizeof(data));  // refused where unknown: nothing to do
}

void CDwmComposition::DisableTransitions(HWND window) {
  SetBool(window, kTransitionsForceDisabled, true);
}

void CDwmComposition::Cloak(HWND window, bool cloaked) {
  SetBool(window, kCloak, cloaked);
}

void CDwmComposition::WaitForComposition() {
  // Returns at the compositor's next frame; fails at once without
  // composition (Windows 7 basic theme), where the screen is drawn directly.
  if (m_flush != nullptr) m_flush();
}
