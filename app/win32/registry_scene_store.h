// The scene chosen on the remote, kept in the settings (LastScene) for the
// receiver link. Reads go through the settings table, so a stored value out
// of range is corrected (and the correction stored) in one place.
#pragma once

#include "link/core/link_ports.h"
#include "settings/win32/reg_keys.h"

namespace pv::app {

class CRegistrySceneStore final : public pv::link::ISceneStore {
 public:
  bool ReadLastScene(std::uint32_t& value) override {
    const pv::settings::LoadedSetting scene =
        pv::settings::CRegKeys::Load(pv::settings::SettingId::kLastScene);
    value = scene.value;
    return scene.WasRead();
  }
  void WriteLastScene(std::uint32_t value) override {
    pv::settings::CRegKeys::Save(pv::settings::SettingId::kLastScene, value);
  }
};

}  // namespace pv::app
