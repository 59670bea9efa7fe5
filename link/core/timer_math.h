// Remaining whole minutes of the presentation timer.
#pragma once

#include <cstdint>

namespace pv::link {

// Minutes left, rounded up, of a timer of `seconds` started at `start`
// (seconds since 1970) when it is `now`. 0 while the timer does not run or
// has run out. A clock set back before the start yields more than the full
// duration (the remaining seconds wrap at 32 bits), so the expiry moves with
// the clock.
std::uint16_t RemainingMinutes(bool running, std::int64_t start, std::uint32_t seconds, std::int64_t now);

}  // namespace pv::link
