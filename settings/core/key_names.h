// Registry value names of the settings. Every setting is a value placed
// directly in HKEY_CURRENT_USER whose name is the whole path below, backslashes
// included; installed copies find their settings only under these names.
#pragma once

#include <cstdint>
#include <string_view>

namespace pv::settings {

inline constexpr std::wstring_view kKeyPrefix = L"SOFTWARE\\Korvel\\PresenterVela\\";

// Value name of a setting id. Ids outside 1..18 share the "Default" value.
std::wstring_view GetKeyName(int32_t id);

}  // namespace pv::settings
