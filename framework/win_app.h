// CWinApp: the application object. The program derives its own and runs it
// once from wWinMain:
//
//   int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return theApp.Run(); }
//
// Run calls InitInstance; only if that returns TRUE does a plain message loop
// run until WM_QUIT. ExitInstance follows in every case and its result is the
// process exit code.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp() = default;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  int Run();

  HINSTANCE GetInstance() const { return m_hInstance; }
  // The executable's base name without extension: the caption of MessageBox.
  const std::wstring& GetAppTitle() const { return m_appTitle; }

  int MessageBox(LPCWSTR text, UINT type = MB_OK) const;
  int MessageBox(UINT stringId, UINT type = MB_OK) const;

 protected:
  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance() { return m_exitCode; }

  HINSTANCE m_hInstance;
  std::wstring m_appTitle;
  CWnd* m_pMainWnd = nullptr;  // the window message boxes are owned by, when set
  int m_exitCode = 0;          // WM_QUIT's code when the message loop ran
};
