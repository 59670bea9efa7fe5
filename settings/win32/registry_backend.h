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
};

}  // namespace pv::settings
