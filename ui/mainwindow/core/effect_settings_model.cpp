#include "ui/mainwindow/core/effect_settings_model.h"

#include "settings/core/setting_ids.h"
#include "settings/core/settings_table.h"

namespace pv::mainwindow {

using settings::LoadSetting;
using settings::SaveSetting;
using settings::SettingId;

void EffectSettingsModel::Load(std::uint32_t maxEffectSize) {
  m_values.maxEffectSize = maxEffectSize;
  m_values.showPointerInSpotlight = LoadSetting(m_store, SettingId::kDefault).IsOn();
  const settings::LoadContext screen{.maxEffectSize = maxEffectSize};
  m_values.spotlightSize = LoadSetting(m_store, SettingId::kSpotlightSize, screen).value;
  m_values.zoomSize = LoadSetting(m_store, SettingId::kZoomSize, screen).value;
  m_values.circleSize = LoadSetting(m_store, SettingId::kCircleSize, screen).value;
}

void EffectSettingsModel::SetEffectSize(effects::Scene scene, std::uint32_t size) {
  switch (scene) {
    case effects::SCENE_SPOTLIGHT:
      m_values.spotlightSize = size;
      SaveSetting(m_store, SettingId::kSpotlightSize, size);
      break;
    case effects::SCENE_MAGNIFIER:
      m_values.zoomSize = size;
      SaveSetting(m_store, SettingId::kZoomSize, size);
      break;
    case effects::SCENE_CIRCLE:
      m_values.circleSize = size;
      SaveSetting(m_store, SettingId::kCircleSize, size);
      break;
    default:
      return;
  }
  Announce(EffectSetting::kSize);
}

void EffectSettingsModel::SetShowPointerInSpotlight(bool show) {
  m_values.showPointerInSpotlight = show;
  SaveSetting(m_store, SettingId::kDefault, show ? 1 : 0);
  Announce(EffectSetting::kShowPointerInSpotlight);
}

void EffectSettingsModel::SetBrightness(std::uint32_t brightness) {
  m_values.brightness = brightness;
  Announce(EffectSetting::kBrightness);
}

void EffectSettingsModel::SetCircleColor(std::uint32_t rgb) {
  m_values.circleColor = rgb;
  Announce(EffectSetting::kCircleColor);
}

void EffectSettingsModel::Announce(EffectSetting which) {
  if (m_observer != nullptr) m_observer->OnEffectSettingChanged(which, m_values);
}

}  // namespace pv::mainwindow
