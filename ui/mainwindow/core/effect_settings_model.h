// EffectSettingsModel: the one owner of the values the effects are drawn
// with (effect sizes, brightness, laser colour, the pointer in the
// spotlight). Every change goes through a setter, which keeps the value,
// stores it and tells the observer (the settings page's preview follows the
// brightness). The effect controller reads the values and changes the sizes
// (its size keys); the settings page changes the rest.
//
// Brightness and laser colour are stored by the page's slider rules
// (SettingsPageValues), which store the slider's position and flush a drag's
// run of steps once; here they are only kept and announced.
#pragma once

#include <cstdint>

#include "effects/core/effect_ports.h"
#include "effects/core/effect_types.h"
#include "settings/core/settings_store.h"

namespace pv::mainwindow {

enum class EffectSetting { kSize, kBrightness, kCircleColor, kShowPointerInSpotlight };

class EffectSettingsObserver {
 public:
  virtual void OnEffectSettingChanged(EffectSetting which, const effects::EffectSettings& now) = 0;

 protected:
  ~EffectSettingsObserver() = default;
};

class EffectSettingsModel final : public effects::EffectSettingsSource {
 public:
  explicit EffectSettingsModel(settings::SettingsStore& store) : m_store(store) {}
  EffectSettingsModel(const EffectSettingsModel&) = delete;
  EffectSettingsModel& operator=(const EffectSettingsModel&) = delete;

  // Told of every change from then on; may be null. It must outlive the model.
  void SetObserver(EffectSettingsObserver* observer) { m_observer = observer; }

  // Reads the three sizes (limited to maxEffectSize, the smaller side of the
  // primary screen, by the settings table) and the pointer option; nobody is
  // told (the values are read before anything shows them).
  void Load(std::uint32_t maxEffectSize);

  // EffectSettingsSource
  const effects::EffectSettings& Current() const override { return m_values; }
  // Kept and stored; a scene that is no effect changes nothing.
  void SetEffectSize(effects::Scene scene, std::uint32_t size) override;

  // Kept, stored and announced.
  void SetShowPointerInSpotlight(bool show);
  // Kept and announced (stored by the slider rules).
  void SetBrightness(std::uint32_t brightness);
  void SetCircleColor(std::uint32_t rgb);

 private:
  void Announce(EffectSetting which);

  settings::SettingsStore& m_store;
  effects::EffectSettings m_values;
  EffectSettingsObserver* m_observer = nullptr;
};

}  // namespace pv::mainwindow
