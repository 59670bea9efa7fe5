// CRegKeys: the program's settings in the current user's registry. All
// operations are static and stateless, so the window thread and the link worker
// may call them at the same time.
//
// Reading a setting with its default and range applied (the normal way):
//   LoadedSetting b = CRegKeys::Load(SettingId::kBrightness);          // 0..100, default 80
//   LoadedSetting s = CRegKeys::Load(SettingId::kSpotlightSize, {.maxEffectSize = screenMin});
//   if (CRegKeys::Load(SettingId::kFirstRun).IsOn()) ...               // missing = first run
//   LoadedSetting t = CRegKeys::Load(SettingId::kTimerStartL);
//   if (!t.WasRead()) ...                                              // no default: treat timer as off
// Writing: CRegKeys::Save(SettingId::kBrightness, 42).
// Raw access by id: GetKeyName, ReadValue, WriteValue.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/core/setting_ids.h"
#include "settings/core/settings_store.h"
#include "settings/core/settings_table.h"

namespace pv::settings {

class CRegKeys {
 public:
  // Value name of the id; ids outside 1..18 give the "Default" name.
  static std::wstring_view GetKeyName(int32_t id);
  // value = 0; 1 when a value of at most four bytes was read, else 0.
  static int ReadValue(int32_t id, uint32_t& value);
  // Stores a REG_DWORD and flushes HKEY_CURRENT_USER; 1 on success, else 0.
  static int WriteValue(int32_t id, uint32_t value);

  // The registry store, for LoadSetting/SaveSetting and DesktopIntegration.
  static pv::settings::SettingsStore& Store();
  // LoadSetting over the registry: default, range and write-back applied.
  static pv::settings::LoadedSetting Load(pv::settings::SettingId id,
                                          const pv::settings::LoadContext& context = {});
  static bool Save(pv::settings::SettingId id, uint32_t value);
};

}  // namespace pv::settings
