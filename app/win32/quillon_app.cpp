#include "app/win32/quillon_app.h"

#include <commctrl.h>

#include "app/core/single_instance.h"
#include "app/core/ui_language.h"
#include "app/win32/loading_dlg.h"
#include "app/win32/registry_scene_store.h"
#include "app/win32/running_copy_notice.h"
#include "framework/dpi_awareness.h"
#include "framework/strings.h"
#include "framework/window_class.h"
#include "link/win32/link_platform.h"
#include "resources/resource_ids.h"
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/conf_dlg.h"
#include "ui/mainwindow/win32/taskbar_created.h"

namespace pv::app {
namespace {

// Per session (the Local namespace): another user's copy on the machine is theirs.
constexpr wchar_t kInstanceMutexName[] = L"Local\\KORVEL_PRESENTER.SingleInstance";
// The link worker gets a moment to make its first opening attempt.
constexpr DWORD kLinkHeadStartMs = 100;

// Registered during static initialisation, before anything else runs, so the
// main window recognises the shell's restart from its first message on.
[[maybe_unused]] const UINT s_taskbarCreatedMsg = pv::mainwindow::TaskbarCreatedMessage();

// The link's store of the remote's scene. Never destroyed: a worker that has
// not finished within the exit handshake may still use it while the process
// ends.
pv::link::ISceneStore& SceneStore() {
  static CRegistrySceneStore* const store = new CRegistrySceneStore();
  return *store;
}

class CWin32SingleInstance final : public ISingleInstancePlatform {
 public:
  explicit CWin32SingleInstance(CHandle& mutex) : m_mutex(mutex) {}
  // The first copy owns the mutex (this thread) until it ends.
  bool ClaimFirstInstance() override {
    m_mutex.Reset(::CreateMutexW(nullptr, TRUE, kInstanceMutexName));
    // Without a mutex at all (a name squatted by another kind of object)
    // nothing tells another copy apart: run rather than refuse to start.
    return !m_mutex || ::GetLastError() != ERROR_ALREADY_EXISTS;
  }
  bool FindRunningInstance() override {
    m_running = ::FindWindowW(pv::mainwindow::kWindowClass, pv::mainwindow::kWindowTitle);
    return m_running != nullptr;
  }
  HWND Running() const { return m_running; }
  // An ending copy gives the mutex up (or leaves it abandoned): then it is ours.
  bool WaitForRunningCopyToEnd(std::uint32_t ms) override {
    if (!m_mutex) return false;
    const DWORD result = ::WaitForSingleObject(m_mutex.Get(), ms);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  }

 private:
  CHandle& m_mutex;
  HWND m_running = nullptr;
};

}  // namespace

BOOL CQuillonApp::InitInstance() {
  const BOOL langZh = IsChineseUi(::GetUserDefaultUILanguage());

  INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
  ::InitCommonControlsEx(&controls);

  if (HandOverToRunningInstance()) return FALSE;

  // After a crash or a hang, Windows may restart the program. Not after a
  // reboot or an update that closed it: the Run value starts it at logon,
  // and a restart as well would make two copies.
  ::RegisterApplicationRestart(nullptr, RESTART_NO_REBOOT | RESTART_NO_PATCH);
  m_com = std::make_unique<CComInit>();

  m_workFolder.EnsureWorkFolder();

  m_link = std::make_unique<pv::link::CHidLink>();
  m_link->Start(pv::link::win32::DefaultLinkPlatform(SceneStore()));
  ::Sleep(kLinkHeadStartMs);

  if (!m_hiddenOwner.CreateEx(0, RegisterWndClass(0).c_str(), L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr)) {
    return FALSE;
  }

  // The splash is a skin picture like the main window's pages: created in
  // the same system-scaled context (which the main window keeps).
  SetThreadDpiContext(DPI_AWARENESS_CONTEXT_UNAWARE_GDISCALED);
  CLoadingDlg splash(IDD_SPLASH, m_hiddenOwner.GetSafeHwnd(), langZh);
  splash.DoModal();

  pv::mainwindow::CConfDlg mainWindow(m_hiddenOwner.GetSafeHwnd(), langZh, m_desktop, m_workFolder, *m_link);
  m_pMainWnd = &mainWindow;
  mainWindow.DoModal();
  m_pMainWnd = nullptr;

  m_hiddenOwner.DestroyWindow();
  return FALSE;
}

// Another copy runs already in this session (it holds the mutex): ask its
// main window to show itself, once it exists, and tell the user.
bool CQuillonApp::HandOverToRunningInstance() {
  CWin32SingleInstance platform(m_instanceMutex);
  const StartDecision decision = DecideStart(platform);
  if (decision == StartDecision::kRunAsFirst) return false;
  const std::wstring notice = LoadResString(IDS_ALREADY_RUNNING);
  if (decision == StartDecision::kHandedOver) {
    ShowNoticeAndHandOver(platform.Running(), pv::mainwindow::UM_SHOW_MAIN, notice, GetAppTitle());
  } else {
    MessageBox(notice.c_str(), MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
  }
  return true;
}

int CQuillonApp::ExitInstance() {
  // The window is gone: a copy started from now on runs as the first.
  if (m_instanceMutex) ::ReleaseMutex(m_instanceMutex.Get());
  m_com.reset();
  // Bounded: at most 50 x 100 ms, then the process end takes the worker,
  // which keeps its link.
  if (m_link && !m_link->StopAndWait()) static_cast<void>(m_link.release());
  return CWinApp::ExitInstance();
}

}  // namespace pv::app
