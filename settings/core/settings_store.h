// Raw access to the settings by id: what CRegKeys offers, over any backend.
// Knows nothing about defaults or ranges; callers go through settings_table.h.
#pragma once

#include <cstdint>

#include "settings/core/settings_backend.h"

namespace pv::settings {

class SettingsStore {
 public:
  explicit SettingsStore(ISettingsBackend& backend) : backend_(backend) {}

  // Sets value to 0, then reads the setting. Returns 1 when it was read: data
  // of four bytes or less, whatever its type, fills value from its low byte up.
  // A missing value, data larger than four bytes or any error returns 0.
  int ReadValue(int32_t id, uint32_t& value) const;

  // Stores value as a 32-bit value; 1 once it is durable, else 0.
  int WriteValue(int32_t id, uint32_t value);
  // Stores value at once, durable only after the next Flush (or durable
  // write): for a run of changes that ends with one Flush. 1 when stored.
  int WriteValueUnflushed(int32_t id, uint32_t value);
  // Makes every value stored so far durable; 1 on success.
  int Flush();

 private:
  ISettingsBackend& backend_;
};

}  // namespace pv::settings
