#include "settings/win32/win32_work_folder_platform.h"

#include <windows.h>
// After <windows.h>:
#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

#include "settings/win32/folder_facts.h"

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

namespace {

struct LocalFreeDeleter {
  void operator()(void* p) const { LocalFree(p); }
};

}  // namespace

bool Win32WorkFolderPlatform::CreatePrivateFolder(const std::wstring& path) {
  const std::wstring sid = CurrentUserSid();
  if (sid.empty()) return false;
  // Owner: the user; access list protected from inheritance, full access for
  // the user alone, passed on to everything created inside.
  const std::wstring sddl = L"O:" + sid + L"D:P(A;OICI;FA;;;" + sid + L")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return false;
  std::unique_ptr<void, LocalFreeDeleter> owned(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  return CreateDirectoryW(path.c_str(), &attributes) != FALSE;
}

bool Win32WorkFolderPlatform::IsTrustedFolder(const std::wstring& path) const {
  return WorkFolderIsOurs(path);
}

bool WorkFolderIsOurs(const std::wstring& path) {
  return JudgeFolderAt(path) == FolderVerdict::kTrusted;
}

}  // namespace pv::settings
