// The work folder's file-system facts on Windows.
#pragma once

#include "settings/core/work_folder.h"

namespace pv::settings {

class Win32WorkFolderPlatform : public IWorkFolderPlatform {
 public:
  // Read in its wide form, so a profile path with characters outside the ANSI
  // code page (a Chinese user name on an English system) stays intact.
  std::optional<std::wstring> UserProfile() const override;
  Entry Probe(const std::wstring& path) const override;
  bool CreateFolder(const std::wstring& path) override;
  bool CreatePrivateFolder(const std::wstring& path) override;
  bool IsTrustedFolder(const std::wstring& path) const override;
};

// True when the folder passes the folder rule (a real folder of the current
// user's that nobody else may change): the check before anything that will
// be run (an update download, the autostart copy) or opened (the manual) is
// placed in a folder.
bool WorkFolderIsOurs(const std::wstring& path);

}  // namespace pv::settings
