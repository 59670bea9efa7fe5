#include "ui/skin/core/minutes_step.h"

namespace pv::skin {

std::uint32_t MinutesValue(std::wstring_view text) {
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && text[at] == L'-') {
    negative = true;
    ++at;
  }
  std::uint32_t value = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    value = value * 10u + static_cast<std::uint32_t>(text[at] - L'0');
  }
  return negative ? 0u - value : value;
}

std::wstring MinutesText(std::uint32_t value) {
  return std::to_wstring(value);
}

std::optional<std::uint32_t> StepMinutes(StepKey key, std::uint32_t value) {
  switch (key) {
    case StepKey::kDown:
      if (value >= kMinMinutes && value <= kMaxMinutes) return value - 1;
      break;
    case StepKey::kPageUp:
      if (value < kMaxMinutes) return value + 10 < kMaxMinutes ? value + 10 : kMaxMinutes;
      break;
    case StepKey::kUp:
      if (value != 0) return value + 1;
      break;
    case StepKey::kPageDown:
      if (value >= 10) return value - 10;
      if (value >= kMinMinutes) return 0u;
      break;
  }
  return std::nullopt;
}

}  // namespace pv::skin
