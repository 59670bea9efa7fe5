#include "settings/win32/reg_keys.h"

#include "settings/core/key_names.h"
#include "settings/win32/registry_backend.h"

namespace pv::settings {
namespace {

// The process's one settings store over the registry. Both objects are
// stateless; the registry holds the state. Never destroyed: the link's worker
// stores the remote's scene through them and may still do so while the
// process ends.
SettingsStore& RegistryStore() {
  static RegistryBackend* const backend = new RegistryBackend();
  static SettingsStore* const store = new SettingsStore(*backend);
  return *store;
}

}  // namespace

std::wstring_view CRegKeys::GetKeyName(int32_t id) {
  return pv::settings::GetKeyName(id);
}

pv::settings::SettingsStore& CRegKeys::Store() {
  return pv::settings::RegistryStore();
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

}  // namespace pv::settings
