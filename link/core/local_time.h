// Local wall-clock time as the link reads it, and its conversion to seconds.
#pragma once

#include <cstdint>

namespace pv::link {

// Fields as the platform's local-time call delivers them (month 1-12).
struct LocalTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

// Seconds since 1970-01-01 by the C library's local-time conversion, with
// the daylight-saving flag left to the library. Years below 1900 give 0.
// The timer page stores start times made by the same conversion, so start,
// now and end are always comparable.
std::int64_t LocalTimeToSeconds(const LocalTime& time);

}  // namespace pv::link
