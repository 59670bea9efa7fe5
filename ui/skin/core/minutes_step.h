// The minutes box's number rules: how its text reads as a number, and what
// the step keys make of it. The box steps only within 1 to 199; correcting
// typed values is its parent's business.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pv::skin {

inline constexpr std::uint32_t kMinMinutes = 1;
inline constexpr std::uint32_t kMaxMinutes = 199;

// The text's number as the platform's StrToIntW reads it (an optional
// minus sign, then the leading digits; anything else ends it, no digits gives 0), taken
// as unsigned: a negative number becomes a huge one, so it counts as too
// large. Digits beyond 32 bits wrap as the platform's do.
std::uint32_t MinutesValue(std::wstring_view text);

// The value formatted as the box shows it ("%u").
std::wstring MinutesText(std::uint32_t value);

enum class StepKey { kUp, kDown, kPageUp, kPageDown };

// The value a step key makes of `value`, or nothing when the key leaves the
// text alone. Up at 199 gives 200 and Page Down below 10 gives 0 on purpose:
// the parent's change handler turns those into 199 and 1, selected, so the
// user sees the limit.
std::optional<std::uint32_t> StepMinutes(StepKey key, std::uint32_t value);

}  // namespace pv::skin
