// Custom actions of the installation package, built into a small DLL that the
// package carries in its Binary table and Windows Installer loads while it runs.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

namespace {

// Where and under which name the program registers itself to start with the
// user's session when its own autostart switch is on.
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Presenter_Vela";
// The desktop shortcut the switch makes is named after the program's string
// 166, in English or in Simplified Chinese.
constexpr const wchar_t* kAutostartShortcutNames[] = {L"Presenter Vela.lnk", L"\u7FFB\u9875\u7B14Vela.lnk"};

// A deferred action reads what the package handed it in CustomActionData:
// here the full path of the installed program.
std::wstring CustomActionData(MSIHANDLE install) {
  wchar_t none[1] = L"";
  DWORD length = 0;
  if (::MsiGetPropertyW(install, L"CustomActionData", none, &length) != ERROR_MORE_DATA) return {};
  std::wstring value(length + 1, L'\0');
  length = static_cast<DWORD>(value.size());
  if (::MsiGetPropertyW(install, L"CustomActionData", value.data(), &length) != ERROR_SUCCESS) return {};
  value.resize(length);
  return value;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// The target of a shell link file, or "" when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& linkFile) {
  IShellLinkW* link = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
    return {};
  }
  std::wstring target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t path[MAX_PATH] = L"";
    if (SUCCEEDED(file->Load(linkFile.c_str(), STGM_READ)) &&
        link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) {
      target = path;
    }
    file->Release();
  }
  link->Release();
  return target;
}

bool RemoveRunValue() {
  HKEY run = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) != ERROR_SUCCESS) {
    return true;  // no Run key: nothing starts by itself
  }
  const LSTATUS deleted = ::RegDeleteValueW(run, kRunValueName);
  ::RegCloseKey(run);
  // A value that is not there is the state we want.
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

// Only a shortcut that starts the program being removed goes: one the user
// pointed elsewhere, or made for a portable copy, stays.
void RemoveAutostartShortcuts(const std::wstring& installedProgram) {
  wchar_t desktop[MAX_PATH] = L"";
  if (installedProgram.empty() ||
      FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop))) {
    return;
  }
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (const wchar_t* name : kAutostartShortcutNames) {
    const std::wstring linkFile = std::wstring(desktop) + L"\\" + name;
    if (SamePath(ShortcutTarget(linkFile), installedProgram)) ::DeleteFileW(linkFile.c_str());
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
}

}  // namespace

// A user's uninstall only (never the removal of the old version during an
// upgrade): the removed program must not be started at the next logon, and
// the desktop shortcut its autostart switch made must not point at nothing.
// The program's own settings stay, as they do for every uninstall.
extern "C" __declspec(dllexport) UINT __stdcall RemoveAutostart(MSIHANDLE install) {
  RemoveAutostartShortcuts(CustomActionData(install));
  // Any other failure is reported to the installer, which logs it and carries
  // on with the uninstall.
  return RemoveRunValue() ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}
