// The settings page's slider values: brightness, pointer speed and the laser
// colour. Loaded once from the settings (defaults and corrections of the
// settings table), then taken over from the sliders on every scroll
// notification and written through at once. What a change means elsewhere
// (the preview's darkness, the link's pointer-speed byte, the colour dot) goes
// through the outputs port. Load comes once, before the sliders get their
// positions.
#pragma once

#include <cstdint>

#include "settings/core/setting_ids.h"
#include "settings/core/settings_store.h"
#include "ui/mainwindow/core/effect_settings_model.h"

namespace pv::mainwindow {

class SettingsPageOutputs {
 public:
  // The link sends this with its next output report.
  virtual void SetLinkPointerSpeed(std::uint8_t speed) = 0;

 protected:
  ~SettingsPageOutputs() = default;
};

// The AutoBoot switch after a click: the new state when autostart reached
// it, otherwise the state that is still set up (a failed copy or Run value
// never shows an autostart that does not exist, nor hides one that does).
constexpr bool AutoBootAfterClick(bool wasOn, bool reached) {
  return reached ? !wasOn : wasOn;
}

// Where a scroll notification stands in its run: a thumb drag or a held
// arrow key sends many steps and then TB_ENDTRACK. Each step's value is
// stored at once; the flush, which blocks the whole registry hive, is made
// once when the run ends.
enum class ScrollStep {
  kEndOfRun,   // TB_ENDTRACK, the thumb's release, or any write outside a run
  kWithinRun,  // a drag or key step that more steps and TB_ENDTRACK follow
};

class SettingsPageValues {
 public:
  // effect: brightness and circle colour are kept there (the effects read them).
  SettingsPageValues(settings::SettingsStore& store, EffectSettingsModel& effect,
                     SettingsPageOutputs& outputs)
      : m_store(store), m_effect(effect), m_outputs(outputs) {}

  // Reads the three values: a brightness above 100 is shown as 100 and left
  // stored; a pointer speed above 100 becomes 100 and a colour above 239
  // becomes 0, both stored; missing values get their defaults, stored. The
  // link gets the pointer speed.
  void Load();

  // A slider's position taken over: true when it differs from the value held
  // (the new value is then stored and applied), false when nothing changed.
  // Within a run the value is stored unflushed (see ScrollStep).
  bool SyncBrightness(int position, ScrollStep step = ScrollStep::kEndOfRun);
  // Also re-sends the speed to the link when unchanged.
  bool SyncPointerSpeed(int position, ScrollStep step = ScrollStep::kEndOfRun);
  bool SyncCircleColor(int position, ScrollStep step = ScrollStep::kEndOfRun);
  // The run ended: what it stored is made durable, with one flush.
  void EndScrollRun();

  std::uint32_t Brightness() const { return m_effect.Current().brightness; }
  std::uint32_t PointerSpeed() const { return m_pointerSpeed; }
  std::uint32_t CircleColorIndex() const { return m_circleColorIndex; }
  std::uint32_t CircleColor() const { return m_effect.Current().circleColor; }  // 0xRRGGBB

 private:
  settings::SettingsStore& m_store;
  EffectSettingsModel& m_effect;
  SettingsPageOutputs& m_outputs;
  void Store(settings::SettingId id, std::uint32_t value, ScrollStep step);

  std::uint32_t m_pointerSpeed = 0;
  std::uint32_t m_circleColorIndex = 0;
  bool m_flushPending = false;  // a value of the run is stored but not flushed
};

}  // namespace pv::mainwindow
