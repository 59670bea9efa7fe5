// Stored setting values of any type and size, read through the settings
// table as the program reads them at start.
//
// Input: the smaller screen dimension, then for each of the 18 settings an
// outcome byte (missing / data / too large / error / a backend that claims
// more than four bytes fit), a size byte and the data. Every setting is
// then loaded; checked:
//   - a value is read exactly when the backend gave at most four bytes, and
//     it is those bytes, low byte first;
//   - the value in use obeys the setting's rule: default when unreadable,
//     kept when in range or unranged, else clamped or replaced by the
//     default, never outside [minimum, maximum] of a ranged setting;
//   - only the setting being loaded is ever written, only with the value the
//     rule says, and only when the rule asks for a write-back: no other
//     stored value changes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "settings/core/key_names.h"
#include "settings/core/setting_ids.h"
#include "settings/core/settings_backend.h"
#include "settings/core/settings_store.h"
#include "settings/core/settings_table.h"
#include "tests/fuzz/fuzz_check.h"

namespace pv::settings::test {
namespace {

constexpr std::size_t kSettings = 18;

// Index 0-17 of the setting a value name belongs to; kSettings for others.
std::size_t IndexOf(std::wstring_view name) {
  for (std::size_t i = 0; i < kSettings; ++i) {
    if (GetKeyName(static_cast<int32_t>(i + 1)) == name) return i;
  }
  return kSettings;
}

// A backend that answers whatever the input says, including a size it
// should never report.
class ScriptedBackend final : public ISettingsBackend {
 public:
  RawValue Query(std::wstring_view name) const override {
    const std::size_t index = IndexOf(name);
    return index < kSettings ? m_values[index] : RawValue{};
  }
  bool SetDword(std::wstring_view name, uint32_t value) override {
    m_writes.push_back({IndexOf(name), value});
    if (m_failWrites || m_writes.back().first == kSettings) return false;
    RawValue& stored = m_values[m_writes.back().first];
    stored.status = QueryStatus::kOk;
    stored.size = 4;
    for (int i = 0; i < 4; ++i)
      stored.data[static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    return true;
  }

  std::array<RawValue, kSettings> m_values{};
  std::vector<std::pair<std::size_t, uint32_t>> m_writes;
  bool m_failWrites = false;
};

struct Expected {
  bool read = false;
  uint32_t raw = 0;
};

Expected DecodeIndependently(const RawValue& raw) {
  Expected e;
  if (raw.status != QueryStatus::kOk || raw.size > 4) return e;
  e.read = true;
  for (uint32_t i = 0; i < raw.size; ++i) e.raw += static_cast<uint32_t>(raw.data[i]) << (8 * i);
  return e;
}

void CheckLoad(ScriptedBackend& backend, const SettingRule& rule, uint32_t screen) {
  SettingsStore store(backend);
  const std::size_t index = static_cast<std::size_t>(ToInt(rule.id) - 1);
  const RawValue before = backend.m_values[index];
  const auto valuesBefore = backend.m_values;
  backend.m_writes.clear();

  const LoadedSetting loaded = LoadSetting(store, rule.id, LoadContext{screen});
  const Expected e = DecodeIndependently(before);
  const uint32_t maximum = rule.screenLimited ? screen : rule.maximum;

  PV_FUZZ_CHECK(backend.m_writes.size() <= 1);
  for (const auto& [written, value] : backend.m_writes) PV_FUZZ_CHECK(written == index);
  if (!e.read) {
    PV_FUZZ_CHECK(loaded.source == (rule.hasDefault ? ValueSource::kDefault : ValueSource::kMissing));
    const uint32_t inUse = !rule.hasDefault     ? 0
                           : rule.screenLimited ? std::min(rule.defaultValue, maximum)
                                                : rule.defaultValue;
    PV_FUZZ_CHECK(loaded.value == inUse);
    const bool writesDefault = rule.hasDefault && rule.writeDefault;
    PV_FUZZ_CHECK(backend.m_writes.size() == (writesDefault ? 1u : 0u));
    if (writesDefault) PV_FUZZ_CHECK(backend.m_writes[0].second == rule.defaultValue);
  } else if (rule.outOfRange == OutOfRange::kNoRange || (e.raw >= rule.minimum && e.raw <= maximum)) {
    PV_FUZZ_CHECK(loaded.source == ValueSource::kStored && loaded.value == e.raw);
    PV_FUZZ_CHECK(backend.m_writes.empty());
  } else {
    PV_FUZZ_CHECK(loaded.source == ValueSource::kCorrected);
    if (rule.outOfRange == OutOfRange::kUseDefault) {
      PV_FUZZ_CHECK(loaded.value == rule.defaultValue);
    } else {
      // The nearest bound; the upper one when a tiny screen crosses them.
      const bool crossed = rule.minimum > maximum;
      PV_FUZZ_CHECK(loaded.value == (e.raw > maximum || crossed ? maximum : rule.minimum));
      PV_FUZZ_CHECK(loaded.value <= maximum);
    }
    PV_FUZZ_CHECK(backend.m_writes.size() == (rule.writeCorrection ? 1u : 0u));
    if (rule.writeCorrection) PV_FUZZ_CHECK(backend.m_writes[0].second == loaded.value);
  }
  // Nothing else in the store moved.
  for (std::size_t other = 0; other < kSettings; ++other) {
    if (other == index) continue;
    const RawValue& was = valuesBefore[other];
    const RawValue& now = backend.m_values[other];
    PV_FUZZ_CHECK(now.status == was.status && now.size == was.size && now.data == was.data);
  }
}

RawValue TakeRawValue(FuzzedDataProvider& input) {
  RawValue raw;
  switch (input.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
      raw.status = QueryStatus::kMissing;
      return raw;
    case 1:
      raw.status = QueryStatus::kTooLarge;
      return raw;
    case 2:
      raw.status = QueryStatus::kError;
      return raw;
    case 3:
      raw.status = QueryStatus::kOk;
      raw.size = input.ConsumeIntegralInRange<uint32_t>(0, 4);
      break;
    default:
      raw.status = QueryStatus::kOk;  // a broken backend: more than the buffer holds
      raw.size = input.ConsumeIntegral<uint32_t>();
      break;
  }
  for (auto& byte : raw.data) byte = input.ConsumeIntegral<uint8_t>();
  return raw;
}

}  // namespace
}  // namespace pv::settings::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pv::settings;
  using namespace pv::settings::test;
  FuzzedDataProvider input(data, size);
  const uint32_t screen = input.ConsumeBool() ? input.ConsumeIntegral<uint32_t>()
                                              : input.ConsumeIntegralInRange<uint32_t>(0, 4000);
  ScriptedBackend backend;
  backend.m_failWrites = input.ConsumeBool();
  for (const SettingRule& rule : AllSettingRules()) {
    if (input.remaining_bytes() == 0) break;
    backend.m_values[static_cast<std::size_t>(ToInt(rule.id) - 1)] = TakeRawValue(input);
  }
  for (const SettingRule& rule : AllSettingRules()) CheckLoad(backend, rule, screen);
  // Any id a caller might pass, valid or not, reads safely.
  SettingsStore store(backend);
  uint32_t value = 1;
  const int32_t anyId = input.ConsumeIntegral<int32_t>();
  const int read = store.ReadValue(anyId, value);
  PV_FUZZ_CHECK(read == 0 || read == 1);
  if (read == 0) PV_FUZZ_CHECK(value == 0);
  return 0;
}
