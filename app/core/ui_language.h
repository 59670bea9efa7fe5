// The user-interface language decision, made once at start.
#pragma once

#include <cstdint>

namespace pv::app {

// Simplified Chinese (LANGID 0x0804). Every other language, other Chinese
// variants included, gets the English pictures, sound and manual.
inline constexpr std::uint16_t kLangIdChineseSimplified = 0x0804;

constexpr bool IsChineseUi(std::uint16_t userDefaultUiLanguage) {
  return userDefaultUiLanguage == kLangIdChineseSimplified;
}

}  // namespace pv::app
