#include "settings/win32/win32_work_folder_platform.h"

#include <windows.h>

namespace pv::settings {

std::optional<std::wstring> Win32WorkFolderPlatform::UserProfile() const {
  const DWORD needed = GetEnvironmentVariableW(L"USERPROFILE", nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", value.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  value.resize(length);
  return value;
}

IWorkFolderPlatform::Entry Win32WorkFolderPlatform::Probe(const std::wstring& path) const {
  WIN32_FIND_DATAW data{};
  const HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return Entry::kNone;
  FindClose(find);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Entry::kDirectory : Entry::kOther;
}

bool Win32WorkFolderPlatform::CreateFolder(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

}  // namespace pv::settings
