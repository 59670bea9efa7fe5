#include "link/core/local_time.h"

#include <ctime>

namespace pv::link {

std::int64_t LocalTimeToSeconds(const LocalTime& time) {
  if (time.year < 1900) return 0;
  std::tm fields{};
  fields.tm_year = time.year - 1900;
  fields.tm_mon = time.month - 1;
  fields.tm_mday = time.day;
  fields.tm_hour = time.hour;
  fields.tm_min = time.minute;
  fields.tm_sec = time.second;
  fields.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&fields));
}

}  // namespace pv::link
