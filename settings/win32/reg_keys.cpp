#include "settings/win32/reg_keys.h"

#include "settings/core/key_names.h"
#include "settings/win32/registry_backend.h"

std::wstring_view CRegKeys::GetKeyName(int32_t id) {
  return pv::settings::GetKeyName(id);
}

pv::settings::SettingsStore& CRegKeys::Store() {
  // Both objects are stateless; the registry holds the state.
  static pv::settings::RegistryBackend backend;
  static pv::settings::SettingsStore store(backend);
  return store;
}

int CRegKeys::ReadValue(int32_t id, uint32_t& value) {
  return Store().ReadValue(id, value);
}

int CRegKeys::WriteValue(int32_t id, uint32_t value) {
  return Store().WriteValue(id, value);
}

pv::settings::LoadedSetting CRegKeys::Load(pv::settings::SettingId id,
                                           const pv::settings::LoadContext& context) {
  return pv::settings::LoadSetting(Store(), id, context);
}

bool CRegKeys::Save(pv::settings::SettingId id, uint32_t value) {
  return pv::settings::SaveSetting(Store(), id, value);
}
