#include "update/core/version_check.h"

namespace pv::update {

std::string_view CutIniBytes(std::string_view bytes) {
  return bytes.substr(0, kIniTextBytes);
}

bool ParseVersion(std::wstring_view text, std::wstring& out) {
  constexpr std::wstring_view kKey = L"Version=";
  const std::size_t key = text.find(kKey);
  if (key == std::wstring_view::npos) return false;
  const std::wstring_view value = text.substr(key + kKey.size());
  out = value.substr(0, value.find(L'\r'));
  return true;
}

std::optional<VersionNumbers> ParseVersionNumbers(std::wstring_view text) {
  VersionNumbers numbers{};
  std::size_t part = 0;
  std::size_t digits = 0;
  std::uint32_t value = 0;
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9') {
      if (++digits > 5) return std::nullopt;
      value = value * 10 + static_cast<std::uint32_t>(c - L'0');
      continue;
    }
    if (c != L'.' || digits == 0 || value > 0xFFFF || part == 3) return std::nullopt;
    numbers[part++] = static_cast<std::uint16_t>(value);
    digits = 0;
    value = 0;
  }
  if (part != 3 || digits == 0 || value > 0xFFFF) return std::nullopt;
  numbers[3] = static_cast<std::uint16_t>(value);
  return numbers;
}

VersionVerdict CompareVersions(std::wstring_view local, std::wstring_view remote) {
  while (!remote.empty() && (remote.back() == L' ' || remote.back() == L'\t' || remote.back() == L'\n' ||
                             remote.back() == L'\r')) {
    remote.remove_suffix(1);
  }
  const std::optional<VersionNumbers> theirs = ParseVersionNumbers(remote);
  if (!theirs) return VersionVerdict::kUnusable;
  const std::optional<VersionNumbers> ours = ParseVersionNumbers(local);
  if (!ours) return VersionVerdict::kNewer;
  return *ours < *theirs ? VersionVerdict::kNewer : VersionVerdict::kNotNewer;
}

}  // namespace pv::update
