// Custom actions of the installation package, built into a small DLL that the
// package carries in its Binary table and Windows Installer loads while it runs.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

// Where and under which name the program registers itself to start with the
// user's session when its own autostart switch is on.
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Presenter_Vela";
// The desktop shortcut the switch makes is named after the program's string
// 166, in English or in Simplified Chinese.
constexpr const wchar_t* kAutostartShortcutNames[] = {L"Presenter Vela.lnk", L"\u7FFB\u9875\u7B14Vela.lnk"};

// Paths here are at most this long (the installed program's path, a shortcut
// on the desktop); the action needs no C++ library, which keeps it small.
constexpr DWORD kPathChars = 1024;

// A deferred action reads what the package handed it in CustomActionData:
// here the full path of the installed program. False when there is none.
bool CustomActionData(MSIHANDLE install, wchar_t (&value)[kPathChars]) {
  DWORD length = kPathChars;
  return ::MsiGetPropertyW(install, L"CustomActionData", value, &length) == ERROR_SUCCESS && length > 0;
}

// The target of a shell link file is the given path (compared as Windows
// compares paths: case-insensitively).
bool ShortcutPointsAt(const wchar_t* linkFile, const wchar_t* path) {
  IShellLinkW* link = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
    return false;
  }
  bool same = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t target[kPathChars] = L"";
    same = SUCCEEDED(file->Load(linkFile, STGM_READ)) &&
           link->GetPath(target, kPathChars, nullptr, SLGP_RAWPATH) == S_OK &&
           ::CompareStringOrdinal(target, -1, path, -1, TRUE) == CSTR_EQUAL;
    file->Release();
  }
  link->Release();
  return same;
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
void RemoveAutostartShortcuts(const wchar_t* installedProgram) {
  wchar_t desktop[MAX_PATH] = L"";
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)))
    return;
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (const wchar_t* name : kAutostartShortcutNames) {
    wchar_t linkFile[kPathChars] = L"";
    if (::lstrlenW(desktop) + 1 + ::lstrlenW(name) >= static_cast<int>(kPathChars)) continue;
    ::lstrcpyW(linkFile, desktop);
    ::lstrcatW(linkFile, L"\\");
    ::lstrcatW(linkFile, name);
    if (ShortcutPointsAt(linkFile, installedProgram)) ::DeleteFileW(linkFile);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
}

}  // namespace

// A user's uninstall only (never the removal of the old version during an
// upgrade): the removed program must not be started at the next logon, and
// the desktop shortcut its autostart switch made must not point at nothing.
// The program's own settings stay, as they do for every uninstall.
extern "C" __declspec(dllexport) UINT __stdcall RemoveAutostart(MSIHANDLE install) {
  wchar_t installedProgram[kPathChars] = L"";
  if (CustomActionData(install, installedProgram)) RemoveAutostartShortcuts(installedProgram);
  // A Run value that cannot be removed is reported to the installer, which
  // logs it and carries on with the uninstall.
  return RemoveRunValue() ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}
