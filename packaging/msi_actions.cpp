// Custom actions of the installation package, built into a small DLL that the
// package carries in its Binary table and Windows Installer loads while it runs.
#include <windows.h>

#include <msi.h>

namespace {

// Where and under which name the program registers itself to start with the
// user's session when its own autostart switch is on.
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Presenter_Vela";

}  // namespace

// Full uninstall only (never while an upgrade replaces the old version): the
// removed program must not be started at the next logon. The program's own
// settings stay, as they do for every uninstall.
extern "C" __declspec(dllexport) UINT __stdcall RemoveAutostart(MSIHANDLE) {
  HKEY run = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) != ERROR_SUCCESS) {
    return ERROR_SUCCESS;  // no Run key: nothing starts by itself
  }
  const LSTATUS deleted = ::RegDeleteValueW(run, kRunValueName);
  ::RegCloseKey(run);
  // A value that is not there is the state we want; any other failure is
  // reported to the installer, which logs it and carries on with the uninstall.
  return (deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND) ? ERROR_SUCCESS
                                                                       : ERROR_INSTALL_FAILURE;
}
