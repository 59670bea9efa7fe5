// Defaults, ranges and write-backs of every setting, over the in-memory store.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/core/key_names.h"
#include "settings/core/memory_backend.h"
#include "settings/core/settings_table.h"

namespace pv::settings::test {
namespace {

using enum SettingId;
using Src = ValueSource;

std::vector<uint8_t> Dw(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}
const std::vector<uint8_t> kRegSz12 = {'1', 0, '2', 0, 0, 0};  // REG_SZ "12", 6 bytes
constexpr uint32_t kNoLimit = UINT32_MAX;
constexpr uint32_t kUntouched = UINT32_MAX;  // `storedAfter`: the stored data must not change

struct Case {
  const char* what;
  SettingId id;
  std::optional<std::vector<uint8_t>> stored;  // nullopt: the value is absent
  uint32_t maxEffectSize;
  uint32_t value;
  ValueSource source;
  uint32_t storedAfter;  // the DWORD written back, or kUntouched
};

const Case kCases[] = {
    {"Brightness missing", kBrightness, std::nullopt, kNoLimit, 80, Src::kDefault, 80},
    {"Brightness 250 is used as 100 and stays", kBrightness, Dw(250), kNoLimit, 100, Src::kCorrected,
     kUntouched},
    {"Brightness 100", kBrightness, Dw(100), kNoLimit, 100, Src::kStored, kUntouched},
    {"Brightness 0xFFFFFFFF is unsigned", kBrightness, Dw(0xFFFFFFFF), kNoLimit, 100, Src::kCorrected,
     kUntouched},
    {"Brightness as REG_SZ \"12\"", kBrightness, kRegSz12, kNoLimit, 80, Src::kDefault, 80},
    {"SpotlightSize 5000 on 1920x1080", kSpotlightSize, Dw(5000), 1080, 1080, Src::kCorrected, kUntouched},
    {"SpotlightSize 20 is used as 80", kSpotlightSize, Dw(20), 1080, 80, Src::kCorrected, kUntouched},
    {"SpotlightSize at the screen limit", kSpotlightSize, Dw(1080), 1080, 1080, Src::kStored, kUntouched},
    {"SpotlightSize 0xFFFFFFFF", kSpotlightSize, Dw(0xFFFFFFFF), 1080, 1080, Src::kCorrected, kUntouched},
    {"SpotlightSize missing", kSpotlightSize, std::nullopt, 1080, 500, Src::kDefault, 500},
    {"ZoomSize missing", kZoomSize, std::nullopt, 1080, 500, Src::kDefault, 500},
    {"ZoomSize missing on a 640x480 screen", kZoomSize, std::nullopt, 480, 480, Src::kDefault, 500},
    {"CircleSize missing", kCircleSize, std::nullopt, 1080, 150, Src::kDefault, 150},
    {"CircleSize 79", kCircleSize, Dw(79), 1080, 80, Src::kCorrected, kUntouched},
    {"CircleColor 240 becomes 0, stored", kCircleColor, Dw(240), kNoLimit, 0, Src::kCorrected, 0},
    {"CircleColor 0xFFFFFFFF", kCircleColor, Dw(0xFFFFFFFF), kNoLimit, 0, Src::kCorrected, 0},
    {"CircleColor 239", kCircleColor, Dw(239), kNoLimit, 239, Src::kStored, kUntouched},
    {"CircleColor missing", kCircleColor, std::nullopt, kNoLimit, 0, Src::kDefault, 0},
    {"PointerSpeed 150 becomes 100, stored", kPointerSpeed, Dw(150), kNoLimit, 100, Src::kCorrected, 100},
    {"PointerSpeed 0 is kept", kPointerSpeed, Dw(0), kNoLimit, 0, Src::kStored, kUntouched},
    {"PointerSpeed missing", kPointerSpeed, std::nullopt, kNoLimit, 50, Src::kDefault, 50},
    {"LastScene missing, not written", kLastScene, std::nullopt, kNoLimit, 0, Src::kDefault, kUntouched},
    {"LastScene 2", kLastScene, Dw(2), kNoLimit, 2, Src::kStored, kUntouched},
    {"LastScene 3 becomes 0, stored", kLastScene, Dw(3), kNoLimit, 0, Src::kCorrected, 0},
    {"LastScene as REG_SZ \"12\"", kLastScene, kRegSz12, kNoLimit, 0, Src::kDefault, kUntouched},
    {"Default missing is on, stored", kDefault, std::nullopt, kNoLimit, 1, Src::kDefault, 1},
    {"Default 0", kDefault, Dw(0), kNoLimit, 0, Src::kStored, kUntouched},
    {"FirstRun missing means first run", kFirstRun, std::nullopt, kNoLimit, 1, Src::kDefault, kUntouched},
    {"FirstRun 0", kFirstRun, Dw(0), kNoLimit, 0, Src::kStored, kUntouched},
    {"FirstRun 7 means first run", kFirstRun, Dw(7), kNoLimit, 7, Src::kStored, kUntouched},
    {"AutoBoot missing is off", kAutoBoot, std::nullopt, kNoLimit, 0, Src::kDefault, kUntouched},
    {"AutoBoot 1", kAutoBoot, Dw(1), kNoLimit, 1, Src::kStored, kUntouched},
    {"AntiLost missing is off", kAntiLost, std::nullopt, kNoLimit, 0, Src::kDefault, kUntouched},
    {"TimerOn missing is off", kTimerOn, std::nullopt, kNoLimit, 0, Src::kDefault, kUntouched},
    {"TimerTime missing is 40 minutes", kTimerTime, std::nullopt, kNoLimit, 2400, Src::kDefault, kUntouched},
    {"TimerStartL missing has no default", kTimerStartL, std::nullopt, kNoLimit, 0, Src::kMissing,
     kUntouched},
    {"TimerStartH stored", kTimerStartH, Dw(5), kNoLimit, 5, Src::kStored, kUntouched},
    {"Link is reserved", kLink, std::nullopt, kNoLimit, 0, Src::kMissing, kUntouched},
};

TEST(SettingsTable, LoadAppliesDefaultRangeAndWriteBack) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    MemoryBackend backend;
    SettingsStore store(backend);
    const std::wstring name(GetKeyName(ToInt(c.id)));
    if (c.stored) backend.SetRaw(name, *c.stored);
    const std::wstring neighbour(GetKeyName(ToInt(c.id) == 18 ? 17 : ToInt(c.id) + 1));
    backend.SetRaw(neighbour, Dw(0xABCD));

    const LoadedSetting loaded = LoadSetting(store, c.id, {.maxEffectSize = c.maxEffectSize});

    EXPECT_EQ(loaded.value, c.value);
    EXPECT_EQ(loaded.source, c.source);
    if (c.storedAfter == kUntouched) {
      EXPECT_EQ(backend.WriteCount(), 0);
      EXPECT_EQ(backend.Contains(name), c.stored.has_value());
    } else {
      EXPECT_EQ(backend.WriteCount(), 1);
      EXPECT_EQ(backend.Dword(name), c.storedAfter);
    }
    EXPECT_EQ(backend.Dword(neighbour), 0xABCDu) << "another value was touched";
  }
}

TEST(SettingsTable, RulesCoverEveryIdInOrderUnderTheirStoredNames) {
  const auto rules = AllSettingRules();
  ASSERT_EQ(rules.size(), 18u);
  for (size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(ToInt(rules[i].id), static_cast<int32_t>(i + 1));
    EXPECT_EQ(std::wstring(kKeyPrefix) + std::wstring(rules[i].name), GetKeyName(ToInt(rules[i].id)));
    if (rules[i].outOfRange != OutOfRange::kNoRange && !rules[i].screenLimited) {
      EXPECT_GE(rules[i].defaultValue, rules[i].minimum);
      EXPECT_LE(rules[i].defaultValue, rules[i].maximum);
    }
  }
}

TEST(SettingsTable, FirstStartStoresTheWrittenDefaultsSoTheNextStartReadsThem) {
  MemoryBackend backend;
  SettingsStore store(backend);
  for (const SettingRule& rule : AllSettingRules()) LoadSetting(store, rule.id, {.maxEffectSize = 1080});
  for (const SettingRule& rule : AllSettingRules()) {
    SCOPED_TRACE(std::string(rule.name.begin(), rule.name.end()));
    EXPECT_EQ(backend.Contains(GetKeyName(ToInt(rule.id))), rule.writeDefault);
    const LoadedSetting again = LoadSetting(store, rule.id, {.maxEffectSize = 1080});
    if (rule.writeDefault) {
      EXPECT_EQ(again.source, ValueSource::kStored);
    }
  }
  // Deleting FirstRun makes the next start a first run again.
  SaveSetting(store, kFirstRun, 0);
  EXPECT_FALSE(LoadSetting(store, kFirstRun).IsOn());
  backend.Erase(GetKeyName(ToInt(kFirstRun)));
  EXPECT_TRUE(LoadSetting(store, kFirstRun).IsOn());
}

TEST(SettingsTable, FailedWriteBackStillGivesTheCorrectedValue) {
  MemoryBackend backend;
  SettingsStore store(backend);
  backend.SetRaw(GetKeyName(ToInt(kCircleColor)), Dw(240));
  backend.FailWrites(true);
  EXPECT_EQ(LoadSetting(store, kCircleColor).value, 0u);
  EXPECT_FALSE(SaveSetting(store, kBrightness, 10));
  EXPECT_EQ(LoadSetting(store, kPointerSpeed).value, 50u);
}

}  // namespace
}  // namespace pv::settings::test
