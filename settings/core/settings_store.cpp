#include "settings/core/settings_store.h"

#include "settings/core/key_names.h"

namespace pv::settings {

int SettingsStore::ReadValue(int32_t id, uint32_t& value) const {
  value = 0;
  const RawValue raw = backend_.Query(GetKeyName(id));
  if (raw.status != QueryStatus::kOk || raw.size > raw.data.size()) return 0;
  for (uint32_t i = 0; i < raw.size; ++i) value |= static_cast<uint32_t>(raw.data[i]) << (8 * i);
  return 1;
}

int SettingsStore::WriteValue(int32_t id, uint32_t value) {
  return backend_.SetDword(GetKeyName(id), value) ? 1 : 0;
}

int SettingsStore::WriteValueUnflushed(int32_t id, uint32_t value) {
  return backend_.SetDwordUnflushed(GetKeyName(id), value) ? 1 : 0;
}

int SettingsStore::Flush() {
  return backend_.Flush() ? 1 : 0;
}

}  // namespace pv::settings
