#include "settings/core/work_folder.h"

namespace pv::settings {

std::optional<std::wstring> WorkFolder::ProfileFolder() const {
  std::optional<std::wstring> profile = platform_.UserProfile();
  if (!profile || profile->empty()) return std::nullopt;
  std::wstring path = std::move(*profile);
  // A profile given with a trailing separator must not produce "\\".
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  path += L'\\';
  path += kWorkFolderName;
  return path;
}

void WorkFolder::EnsureWorkFolder() {
  const std::optional<std::wstring> profileFolder = ProfileFolder();
  if (profileFolder) {
    if (platform_.Probe(*profileFolder) == IWorkFolderPlatform::Entry::kDirectory ||
        platform_.CreateFolder(*profileFolder)) {
      m_bUseFallbackFolder = false;
      return;
    }
  }
  // Any user can create folders at the root of drive c:, so ours is made for
  // us alone. One that exists already may be someone else's: IsOurs tells.
  platform_.CreatePrivateFolder(std::wstring(kFallbackWorkFolder));
  m_bUseFallbackFolder = true;
}

bool WorkFolder::IsOurs() const {
  return platform_.IsTrustedFolder(GetWorkFolder());
}

std::wstring WorkFolder::GetWorkFolder() const {
  if (!m_bUseFallbackFolder) {
    if (std::optional<std::wstring> profileFolder = ProfileFolder()) return *profileFolder;
  }
  return std::wstring(kFallbackWorkFolder);
}

std::wstring WorkFolder::PathOf(std::wstring_view fileName) const {
  std::wstring path = GetWorkFolder();
  path += L'\\';
  path += fileName;
  return path;
}

}  // namespace pv::settings
