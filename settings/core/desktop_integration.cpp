#include "settings/core/desktop_integration.h"

#include "settings/core/setting_ids.h"
#include "settings/core/settings_table.h"

namespace pv::settings {
namespace {

wchar_t UpperAscii(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

std::wstring RunCommandFor(const std::wstring& exePath) {
  return L"\"" + exePath + L"\"";
}

bool DesktopIntegration::OpenHelpDocument(bool langZh) {
  // A document in a folder someone else can change could be theirs, not
  // ours: then nothing is opened (the same rule as for the programs).
  if (!workFolder_.IsOurs()) return false;
  const std::wstring path = workFolder_.PathOf(kHelpFileName);
  const std::span<const uint8_t> pdf = platform_.HelpDocument(langZh);
  if (pdf.empty()) return false;
  // A viewer showing the manual may hold it locked: the same document is
  // opened as it is rather than rewritten.
  if (!platform_.FileHasContent(path, pdf) && !platform_.WriteWholeFile(path, pdf)) return false;
  platform_.OpenDocument(path);
  return true;
}

unsigned DesktopIntegration::GetExeDriveType(const std::wstring& path) const {
  if (path.size() < 2 || path[1] != L':') return kDriveUnknown;
  const wchar_t letter = UpperAscii(path[0]);
  for (const std::wstring& root : platform_.LogicalDrives()) {
    if (!root.empty() && UpperAscii(root[0]) == letter) return platform_.DriveType(root);
  }
  return kDriveUnknown;
}

bool DesktopIntegration::SwitchOn(IRunKey& runKey, std::wstring& target) {
  const std::wstring exe = platform_.ModuleFileName();
  if (GetExeDriveType(exe) == kDriveFixed) {
    target = exe;
  } else {
    // A removable or network drive may be gone at the next logon: start a
    // local copy instead.
    // Never a program others can replace: refuse a work folder not ours.
    if (!workFolder_.IsOurs()) return false;
    target = workFolder_.PathOf(kAutostartCopyName);
    if (!CopyInOneStep(exe, target)) return false;
  }
  return runKey.SetString(std::wstring(kRunValueName), RunCommandFor(target));
}

// A copy cut short (a stick pulled out mid-copy) must never be the program
// the Run value starts: copy under a temporary name, then replace in one step.
bool DesktopIntegration::CopyInOneStep(const std::wstring& from, const std::wstring& to) {
  const std::wstring partial = to + std::wstring(kPartialCopySuffix);
  if (platform_.CopyFileTo(from, partial) && platform_.ReplaceFileWith(partial, to)) return true;
  platform_.RemoveFile(partial);
  return false;
}

bool DesktopIntegration::SetAutostart(bool on) {
  std::unique_ptr<IRunKey> runKey = platform_.OpenRunKey();
  if (!runKey) return false;
  if (!on) {
    // While the value is there the program still starts at logon: "off"
    // only once it is gone.
    if (!runKey->DeleteValue(std::wstring(kRunValueName))) return false;
    return SaveSetting(store_, SettingId::kAutoBoot, 0);
  }
  std::wstring target;
  // Without a Run value nothing starts at logon: store nothing that claims
  // otherwise and make no shortcut to a copy that does not exist.
  if (!SwitchOn(*runKey, target)) return false;
  if (!SaveSetting(store_, SettingId::kAutoBoot, 1)) return false;
  runKey.reset();

  const std::optional<std::wstring> desktop = platform_.DesktopFolder();
  if (!desktop) return true;
  std::wstring name = platform_.ProductName();
  if (name.empty()) name = kFallbackProductName;
  platform_.CreateShortcut(target, *desktop, name, name);
  return true;
}

}  // namespace pv::settings
