// Autostart and the help document: the program's hooks into the user's
// desktop. Setting autostart also stores the AutoBoot setting.
#pragma once

#include <string>
#include <string_view>

#include "settings/core/desktop_platform.h"
#include "settings/core/settings_store.h"
#include "settings/core/work_folder.h"

namespace pv::settings {

inline constexpr std::wstring_view kHelpFileName = L"Help_PresenterVela.pdf";
inline constexpr std::wstring_view kAutostartCopyName = L"PresenterVela_xp.exe";
inline constexpr std::wstring_view kRunKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::wstring_view kRunValueName = L"Presenter_Vela";
// Added to the autostart copy's name while it is being written.
inline constexpr std::wstring_view kPartialCopySuffix = L".partial";
// Shortcut name when the string table carries none.
inline constexpr std::wstring_view kFallbackProductName = L"Presenter Vela";

class DesktopIntegration {
 public:
  DesktopIntegration(IDesktopPlatform& platform, SettingsStore& store, const WorkFolder& workFolder)
      : platform_(platform), store_(store), workFolder_(workFolder) {}

  // Writes the manual of the given language into the work folder as
  // "Help_PresenterVela.pdf" (rewritten every time, so it always matches the
  // language) and opens it. A document already there with the same bytes is
  // opened as it is (a viewer may hold it locked). False, with nothing opened,
  // when the file could not be written completely, e.g. while a viewer holds
  // the other language's manual locked, or when the work folder fails the
  // folder rule (WorkFolder::IsOurs).
  bool OpenHelpDocument(bool langZh);

  // Switches autostart on (Run value and desktop shortcut; from a removable or
  // network drive the program first copies itself into the work folder, under
  // a temporary name replaced in one step, and never into a work folder that
  // is not ours) or off (only the Run value goes), and stores AutoBoot. Silent
  // when the Run key cannot be opened. True when the requested state was
  // reached and stored; false leaves AutoBoot as it was, except a failed
  // store of AutoBoot itself.
  bool SetAutostart(bool on);

  // GetDriveTypeW value of the drive whose letter begins `path`; 0 when the path
  // does not begin with the letter of a logical drive (e.g. a network path).
  unsigned GetExeDriveType(const std::wstring& path) const;

 private:
  bool SwitchOn(IRunKey& runKey, std::wstring& target);
  bool CopyInOneStep(const std::wstring& from, const std::wstring& to);

  IDesktopPlatform& platform_;
  SettingsStore& store_;
  const WorkFolder& workFolder_;
};

// The Run value for a program path: quoted, so that a path with spaces cannot
// be taken for a shorter program ("C:\Program.exe").
std::wstring RunCommandFor(const std::wstring& exePath);

}  // namespace pv::settings
