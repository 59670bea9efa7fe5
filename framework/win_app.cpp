#include "framework/win_app.h"

#include "framework/strings.h"
#include "framework/wnd.h"

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr)) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, length < MAX_PATH ? length : 0);
  name = name.substr(name.find_last_of(L"\\/") + 1);  // npos + 1 = 0: no folder part
  m_appTitle = name.substr(0, name.find_last_of(L'.'));
}

int CWinApp::Run() {
  if (InitInstance()) {
    MSG msg{};
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (got == 0) m_exitCode = static_cast<int>(msg.wParam);
  }
  return ExitInstance();
}

int CWinApp::MessageBox(LPCWSTR text, UINT type) const {
  HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
  return ::MessageBoxW(owner, text, m_appTitle.c_str(), type);
}

int CWinApp::MessageBox(UINT stringId, UINT type) const {
  return MessageBox(LoadResString(stringId).c_str(), type);
}
