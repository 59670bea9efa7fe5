#include "update/win32/version_string.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace pv::update {

bool GetVersionString(const std::wstring& path, std::wstring& out) {
  out.clear();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr ||
      infoSize < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  wchar_t text[24];
  std::swprintf(text, std::size(text), L"%u.%u.%u.%u", HIWORD(info->dwProductVersionMS),
                LOWORD(info->dwProductVersionMS), HIWORD(info->dwProductVersionLS),
                LOWORD(info->dwProductVersionLS));
  out = text;
  return true;
}

std::wstring RunningProgramPath() {
  std::wstring path(1024, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  return path;
}

std::wstring RunningVersionString() {
  const std::wstring path = RunningProgramPath();
  if (path.empty()) return {};
  std::wstring version;
  GetVersionString(path, version);
  return version;
}

}  // namespace pv::update
