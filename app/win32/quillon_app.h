// CQuillonApp: the application object. It owns the process from start to
// exit: language, single instance, start of the receiver link, the splash,
// then the main window for the program's whole life, and the orderly stop.
#pragma once

#include <memory>

#include "framework/com.h"
#include "framework/kernel_handles.h"
#include "framework/win_app.h"
#include "framework/wnd.h"
#include "link/core/hid_link.h"
#include "settings/core/desktop_integration.h"
#include "settings/core/work_folder.h"
#include "settings/win32/reg_keys.h"
#include "settings/win32/win32_desktop_platform.h"
#include "settings/win32/win32_work_folder_platform.h"

namespace pv::app {

class CQuillonApp : public CWinApp {
 protected:
  BOOL InitInstance() override;
  int ExitInstance() override;

 private:
  bool HandOverToRunningInstance();

  // The session's single-instance mutex, held for the program's life.
  CHandle m_instanceMutex;
  // Invisible popup: owner of the splash and of the main window, so neither
  // shows on the taskbar.
  CWnd m_hiddenOwner;
  // COM for the image decoder (WIC), for the life of the user interface.
  std::unique_ptr<CComInit> m_com;

  // The receiver link, created here only and handed to the main window.
  // Given up rather than destroyed when its worker has not acknowledged the
  // stop: that worker may still be in a read wait while the process ends.
  std::unique_ptr<pv::link::CHidLink> m_link;

  // Services that outlive the main window.
  pv::settings::Win32WorkFolderPlatform m_workFolderPlatform;
  pv::settings::WorkFolder m_workFolder{m_workFolderPlatform};
  pv::settings::Win32DesktopPlatform m_desktopPlatform;
  pv::settings::DesktopIntegration m_desktop{m_desktopPlatform, pv::settings::CRegKeys::Store(),
                                             m_workFolder};
};

}  // namespace pv::app
