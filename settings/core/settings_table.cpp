#include "settings/core/settings_table.h"

#include <algorithm>
#include <array>

namespace pv::settings {
namespace {

using enum SettingId;
constexpr uint32_t kAny = std::numeric_limits<uint32_t>::max();
constexpr uint32_t kMinEffectSize = 80;

// clang-format off
constexpr std::array<SettingRule, 18> kRules = {{
  // id              name             hasDef default write  min  max   screen  out of range            write back
  {kLink,          L"Link",          false, 0,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kCharge,        L"Charge",        false, 0,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kBatLevel,      L"BatLevel",      false, 0,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kAutoBoot,      L"AutoBoot",      true,  0,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kBrightness,    L"Brightness",    true,  80,   true,  0,   100,  false, OutOfRange::kClamp,      false},
  {kSpotlightSize, L"SpotlightSize", true,  500,  true,  kMinEffectSize, kAny, true, OutOfRange::kClamp, false},
  {kZoomSize,      L"ZoomSize",      true,  500,  true,  kMinEffectSize, kAny, true, OutOfRange::kClamp, false},
  {kCircleSize,    L"CircleSize",    true,  150,  true,  kMinEffectSize, kAny, true, OutOfRange::kClamp, false},
  {kDefault,       L"Default",       true,  1,    true,  0,   kAny, false, OutOfRange::kNoRange,    false},
  {kTimerOn,       L"TimerOn",       true,  0,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kTimerTime,     L"TimerTime",     true,  2400, false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kTimerStartL,   L"TimerStartL",   false, 0,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kTimerStartH,   L"TimerStartH",   false, 0,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kLastScene,     L"LastScene",     true,  0,    false, 0,   2,    false, OutOfRange::kUseDefault, true},
  // Any nonzero value, and a missing one, means "first run".
  {kFirstRun,      L"FirstRun",      true,  1,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kAntiLost,      L"AntiLost",      true,  0,    false, 0,   kAny, false, OutOfRange::kNoRange,    false},
  {kPointerSpeed,  L"PointerSpeed",  true,  50,   true,  0,   100,  false, OutOfRange::kClamp,      true},
  {kCircleColor,   L"CircleColor",   true,  0,    true,  0,   239,  false, OutOfRange::kUseDefault, true},
}};
// clang-format on

uint32_t MaximumOf(const SettingRule& rule, const LoadContext& context) {
  return rule.screenLimited ? context.maxEffectSize : rule.maximum;
}

// Brings v into [minimum, maximum] as the rule says; the upper bound wins when
// the bounds cross (a screen smaller than the smallest effect).
uint32_t Correct(const SettingRule& rule, uint32_t v, uint32_t maximum) {
  if (rule.outOfRange == OutOfRange::kUseDefault) return rule.defaultValue;
  return v > maximum || rule.minimum > maximum ? maximum : rule.minimum;
}

}  // namespace

std::span<const SettingRule> AllSettingRules() {
  return kRules;
}

const SettingRule& RuleOf(SettingId id) {
  const auto index = static_cast<size_t>(ToInt(id) - 1);
  return kRules.at(index);
}

LoadedSetting LoadSetting(SettingsStore& store, SettingId id, const LoadContext& context) {
  const SettingRule& rule = RuleOf(id);
  const uint32_t maximum = MaximumOf(rule, context);
  uint32_t v = 0;
  if (!store.ReadValue(ToInt(id), v)) {
    if (!rule.hasDefault) return {0, ValueSource::kMissing};
    if (rule.writeDefault) store.WriteValue(ToInt(id), rule.defaultValue);
    // The stored default stays as it is; only the value in use respects a
    // screen smaller than the default effect size.
    return {rule.screenLimited ? std::min(rule.defaultValue, maximum) : rule.defaultValue,
            ValueSource::kDefault};
  }
  if (rule.outOfRange == OutOfRange::kNoRange || (v <= maximum && v >= rule.minimum)) {
    return {v, ValueSource::kStored};
  }
  const uint32_t corrected = Correct(rule, v, maximum);
  if (rule.writeCorrection) store.WriteValue(ToInt(id), corrected);
  return {corrected, ValueSource::kCorrected};
}

bool SaveSetting(SettingsStore& store, SettingId id, uint32_t value) {
  return store.WriteValue(ToInt(id), value) == 1;
}

}  // namespace pv::settings
