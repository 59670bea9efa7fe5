#include "ui/mainwindow/core/settings_page_values.h"

#include "settings/core/setting_ids.h"
#include "settings/core/settings_table.h"
#include "ui/mainwindow/core/hue_color.h"

namespace pv::mainwindow {

using settings::LoadSetting;
using settings::SaveSetting;
using settings::SettingId;

namespace {

// Trackbar positions lie within the slider's range; anything else (a message
// any process can send) is taken as unsigned and so never matches a valid value.
std::uint32_t AsValue(int position) {
  return static_cast<std::uint32_t>(position);
}

}  // namespace

void SettingsPageValues::Load() {
  m_effect.SetBrightness(LoadSetting(m_store, SettingId::kBrightness).value);
  m_pointerSpeed = LoadSetting(m_store, SettingId::kPointerSpeed).value;
  m_outputs.SetLinkPointerSpeed(static_cast<std::uint8_t>(m_pointerSpeed));
  m_circleColorIndex = LoadSetting(m_store, SettingId::kCircleColor).value;
  m_effect.SetCircleColor(HueToColor(m_circleColorIndex));
}

void SettingsPageValues::Store(SettingId id, std::uint32_t value, ScrollStep step) {
  if (step == ScrollStep::kWithinRun) {
    m_flushPending = m_store.WriteValueUnflushed(settings::ToInt(id), value) == 1 || m_flushPending;
    return;
  }
  // A durable write flushes the whole hive: the run's values with it.
  if (SaveSetting(m_store, id, value)) m_flushPending = false;
}

void SettingsPageValues::EndScrollRun() {
  if (!m_flushPending) return;
  if (m_store.Flush() == 1) m_flushPending = false;
}

bool SettingsPageValues::SyncBrightness(int position, ScrollStep step) {
  const std::uint32_t value = AsValue(position);
  if (value == Brightness() || value > 100) return false;
  Store(SettingId::kBrightness, value, step);
  // Nothing of the main window changes with it: the preview window takes the
  // new opacity by itself, so no repaint is asked for.
  m_effect.SetBrightness(value);
  return true;
}

bool SettingsPageValues::SyncPointerSpeed(int position, ScrollStep step) {
  const std::uint32_t value = AsValue(position);
  if (value == m_pointerSpeed || value > 100) {
    m_outputs.SetLinkPointerSpeed(static_cast<std::uint8_t>(m_pointerSpeed));
    return false;
  }
  m_pointerSpeed = value;
  Store(SettingId::kPointerSpeed, value, step);
  m_outputs.SetLinkPointerSpeed(static_cast<std::uint8_t>(value));
  return true;
}

bool SettingsPageValues::SyncCircleColor(int position, ScrollStep step) {
  const std::uint32_t value = AsValue(position);
  if (value == m_circleColorIndex || value >= kHueSteps) return false;
  m_circleColorIndex = value;
  Store(SettingId::kCircleColor, value, step);
  m_effect.SetCircleColor(HueToColor(value));
  return true;
}

}  // namespace pv::mainwindow
