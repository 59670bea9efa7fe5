// Settings in the registry: REG_DWORD values placed directly in
// HKEY_CURRENT_USER under names that contain backslashes; no subkey is ever
// opened or created (the layout installed copies share).
#pragma once

#include "settings/core/settings_backend.h"

namespace pv::settings {

class RegistryBackend : public ISettingsBackend {
 public:
  RawValue Query(std::wstring_view name) const override;
  // RegSetValueExW, then RegFlushKey so the value survives a crash at once.
  bool SetDword(std::wstring_view name, uint32_t value) override;
  // RegSetValueExW alone; RegFlushKey (Flush) when the run of changes ends.
  // A flush blocks the whole hive and is costly: one per slider drag, not
  // one per step of it.
  bool SetDwordUnflushed(std::wstring_view name, uint32_t value) override;
  bool Flush() override;
};

}  // namespace pv::settings
