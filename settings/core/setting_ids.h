// Numeric ids of the persistent settings. The numbers are part of the stored
// layout shared with installed copies of the program and must never change.
#pragma once

#include <cstdint>

namespace pv::settings {

enum class SettingId : int32_t {
  kLink = 1,      // reserved
  kCharge = 2,    // reserved
  kBatLevel = 3,  // reserved
  kAutoBoot = 4,
  kBrightness = 5,
  kSpotlightSize = 6,
  kZoomSize = 7,
  kCircleSize = 8,
  kDefault = 9,  // "show the pointer in the spotlight"; the name is historical
  kTimerOn = 10,
  kTimerTime = 11,
  kTimerStartL = 12,
  kTimerStartH = 13,
  kLastScene = 14,
  kFirstRun = 15,
  kAntiLost = 16,
  kPointerSpeed = 17,
  kCircleColor = 18,
};

constexpr int32_t ToInt(SettingId id) {
  return static_cast<int32_t>(id);
}

}  // namespace pv::settings
