#include "link/core/timer_math.h"

namespace pv::link {

std::uint16_t RemainingMinutes(bool running, std::int64_t start, std::uint32_t seconds, std::int64_t now) {
  if (!running) return 0;
  const std::int64_t elapsed = now - start;
  std::uint32_t remaining = 0;
  if (elapsed < 0) {
    remaining =
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds) - static_cast<std::uint64_t>(elapsed));
  } else if (elapsed >= static_cast<std::int64_t>(seconds)) {
    return 0;
  } else {
    remaining = seconds - static_cast<std::uint32_t>(elapsed);
  }
  const std::uint32_t minutes = remaining / 60 + (remaining % 60 != 0 ? 1 : 0);
  return static_cast<std::uint16_t>(minutes);
}

}  // namespace pv::link
