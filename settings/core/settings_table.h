// The one table of every setting: default, range and what is written back,
// and the one piece of code that applies it. Every reader of a setting calls
// LoadSetting; nobody re-implements the defaults or the clamping.
//
//   SettingsStore& store = ...;                       // CRegKeys::Store() in the program
//   uint32_t brightness = LoadSetting(store, SettingId::kBrightness).value;
//   uint32_t spot = LoadSetting(store, SettingId::kSpotlightSize, {.maxEffectSize = 1080}).value;
//   SaveSetting(store, SettingId::kBrightness, 42);   // write-through on every change
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "settings/core/setting_ids.h"
#include "settings/core/settings_store.h"

namespace pv::settings {

// What happens to a stored value outside [minimum, maximum].
enum class OutOfRange {
  kNoRange,     // every value is valid
  kClamp,       // use the nearest bound
  kUseDefault,  // use the default instead
};

struct SettingRule {
  SettingId id;
  std::wstring_view name;  // the last part of the value name
  bool hasDefault;         // false: a missing value is reported as missing
  uint32_t defaultValue;
  bool writeDefault;  // a missing value is replaced by the default in the store
  uint32_t minimum;
  uint32_t maximum;
  bool screenLimited;  // the maximum is the smaller screen dimension, given at load time
  OutOfRange outOfRange;
  bool writeCorrection;  // a corrected value is stored at once
};

// The whole table, ordered by id (1..18).
std::span<const SettingRule> AllSettingRules();
const SettingRule& RuleOf(SettingId id);

enum class ValueSource {
  kStored,     // read and in range
  kCorrected,  // read, out of range, corrected (and stored when the rule says so)
  kDefault,    // unreadable; the default applies (and was stored when the rule says so)
  kMissing,    // unreadable and the setting has no default (value is 0)
};

struct LoadedSetting {
  uint32_t value = 0;
  ValueSource source = ValueSource::kMissing;

  bool WasRead() const { return source == ValueSource::kStored || source == ValueSource::kCorrected; }
  // On/off settings: any nonzero value means on.
  bool IsOn() const { return value != 0; }
};

struct LoadContext {
  // Upper bound of the effect sizes: the smaller of the screen's width and height.
  uint32_t maxEffectSize = std::numeric_limits<uint32_t>::max();
};

// Reads a setting and applies its rule: default when unreadable, correction
// when out of range (unsigned comparisons), and the write-backs the rule asks for.
LoadedSetting LoadSetting(SettingsStore& store, SettingId id, const LoadContext& context = {});

// Stores a new value of a setting; true once it is durable.
bool SaveSetting(SettingsStore& store, SettingId id, uint32_t value);

}  // namespace pv::settings
