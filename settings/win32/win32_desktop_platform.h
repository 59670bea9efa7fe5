// The desktop services on Windows: drives, the Run key, the desktop folder,
// the string table, the embedded manuals, files and ShellExecuteW.
//
// The application creates one with its own module handle and hands it, with
// CRegKeys::Store() and its WorkFolder, to DesktopIntegration. Tests derive
// from it to replace single operations (DriveType, OpenDocument).
#pragma once

#include <windows.h>

#include "settings/core/desktop_platform.h"

namespace pv::settings {

class Win32DesktopPlatform : public IDesktopPlatform {
 public:
  // resources: the module carrying string 166 and the HELP_PDF resources.
  explicit Win32DesktopPlatform(HMODULE resources = GetModuleHandleW(nullptr)) : resources_(resources) {}

  std::wstring ModuleFileName() const override;
  std::vector<std::wstring> LogicalDrives() const override;
  unsigned DriveType(const std::wstring& root) const override;
  bool CopyFileTo(const std::wstring& from, const std::wstring& to) override;
  bool ReplaceFileWith(const std::wstring& from, const std::wstring& to) override;
  void RemoveFile(const std::wstring& path) override;
  bool FileHasContent(const std::wstring& path, std::span<const uint8_t> bytes) const override;
  std::unique_ptr<IRunKey> OpenRunKey() override;
  std::optional<std::wstring> DesktopFolder() const override;
  std::wstring ProductName() const override;
  bool CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::wstring& name,
                      const std::wstring& description) override;
  std::span<const uint8_t> HelpDocument(bool chinese) const override;
  bool WriteWholeFile(const std::wstring& path, std::span<const uint8_t> bytes) override;
  void OpenDocument(const std::wstring& path) override;

 private:
  HMODULE resources_;
};

}  // namespace pv::settings
