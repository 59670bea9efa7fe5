#include "link/core/device_path.h"

#include <cwchar>

namespace pv::link {
namespace {

void AppendHex(std::wstring& out, unsigned long long value, int digits) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
}

// Found, and not at the very start of the path.
bool OccursAfterStart(const std::wstring& path, const std::wstring& marker) {
  const auto at = path.find(marker);
  return at != std::wstring::npos && at > 0;
}

}  // namespace

std::wstring FormatGuid(const HidClassGuid& guid) {
  std::wstring text = L"{";
  AppendHex(text, guid.data1, 8);
  text.push_back(L'-');
  AppendHex(text, guid.data2, 4);
  text.push_back(L'-');
  AppendHex(text, guid.data3, 4);
  text.push_back(L'-');
  for (int i = 0; i < 8; ++i) {
    if (i == 2) text.push_back(L'-');
    AppendHex(text, guid.data4[i], 2);
  }
  text.push_back(L'}');
  return text;
}

bool PathNamesReceiver(wchar_t* path, const HidClassGuid& hidGuid) {
  if (path == nullptr) return false;
  for (wchar_t* c = path; *c != L'\0'; ++c) {
    if (*c >= L'a' && *c <= L'z') *c = static_cast<wchar_t>(*c - L'a' + L'A');
  }
  const std::wstring text(path);
  return OccursAfterStart(text, L"VID_0C45") && OccursAfterStart(text, L"PID_8101") &&
         OccursAfterStart(text, FormatGuid(hidGuid));
}

bool RemovalConcernsOpenReceiver(wchar_t* removedPath, const std::wstring& openPath,
                                 const HidClassGuid& hidGuid) {
  if (!PathNamesReceiver(removedPath, hidGuid)) return false;
  if (openPath.empty()) return true;
  const std::wstring removed(removedPath);  // upper case by now
  if (removed.size() != openPath.size()) return false;
  for (std::size_t i = 0; i < removed.size(); ++i) {
    wchar_t c = openPath[i];
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    if (c != removed[i]) return false;
  }
  return true;
}

}  // namespace pv::link
