// Raw store access by id: value names and the four-byte read rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/core/key_names.h"
#include "settings/core/memory_backend.h"
#include "settings/core/settings_store.h"

namespace pv::settings::test {
namespace {

TEST(KeyNames, EveryIdHasItsNameAndOthersShareDefault) {
  const struct {
    int32_t id;
    const wchar_t* name;
  } cases[] = {
      {1, L"Link"},          {2, L"Charge"},          {3, L"BatLevel"},        {4, L"AutoBoot"},
      {5, L"Brightness"},    {6, L"SpotlightSize"},   {7, L"ZoomSize"},        {8, L"CircleSize"},
      {9, L"Default"},       {10, L"TimerOn"},        {11, L"TimerTime"},      {12, L"TimerStartL"},
      {13, L"TimerStartH"},  {14, L"LastScene"},      {15, L"FirstRun"},       {16, L"AntiLost"},
      {17, L"PointerSpeed"}, {18, L"CircleColor"},    {0, L"Default"},         {19, L"Default"},
      {-1, L"Default"},      {INT32_MIN, L"Default"}, {INT32_MAX, L"Default"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetKeyName(c.id), std::wstring(L"SOFTWARE\\Korvel\\PresenterVela\\") + c.name) << "id " << c.id;
  }
}

TEST(SettingsStore, IdsOutsideTheTableAllUseTheDefaultValue) {
  MemoryBackend backend;
  SettingsStore store(backend);
  ASSERT_EQ(store.WriteValue(19, 7), 1);
  uint32_t v = 99;
  for (int32_t id : {0, 9, -1, 19}) {
    EXPECT_EQ(store.ReadValue(id, v), 1) << id;
    EXPECT_EQ(v, 7u) << id;
  }
  ASSERT_EQ(store.WriteValue(-5, 3), 1);
  EXPECT_EQ(backend.Dword(L"SOFTWARE\\Korvel\\PresenterVela\\Default"), 3u);
}

TEST(SettingsStore, ReadTakesAnyDataUpToFourBytesFromTheLowByteUp) {
  const std::wstring name(GetKeyName(5));
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    int result;
    uint32_t value;
  } cases[] = {
      {"dword", {0x34, 0x12, 0, 0}, 1, 0x1234},
      {"all ones", {0xFF, 0xFF, 0xFF, 0xFF}, 1, 0xFFFFFFFF},
      {"two bytes", {0x07, 0x01}, 1, 0x0107},
      {"one byte", {0x2A}, 1, 42},
      {"empty", {}, 1, 0},
      {"REG_SZ \"1\" (4 bytes)", {'1', 0, 0, 0}, 1, 0x31},
      {"REG_SZ \"12\" (6 bytes)", {'1', 0, '2', 0, 0, 0}, 0, 0},
      {"REG_QWORD / 8-byte binary", {1, 0, 0, 0, 0, 0, 0, 0}, 0, 0},
  };
  for (const auto& c : cases) {
    MemoryBackend backend;
    backend.SetRaw(name, c.bytes);
    SettingsStore store(backend);
    uint32_t v = 0xDEADBEEF;
    EXPECT_EQ(store.ReadValue(5, v), c.result) << c.what;
    EXPECT_EQ(v, c.value) << c.what;
  }
}

TEST(SettingsStore, MissingValueAndFailedWriteReportZero) {
  MemoryBackend backend;
  SettingsStore store(backend);
  uint32_t v = 5;
  EXPECT_EQ(store.ReadValue(14, v), 0);
  EXPECT_EQ(v, 0u);
  backend.FailWrites(true);
  EXPECT_EQ(store.WriteValue(14, 2), 0);
  EXPECT_FALSE(backend.Contains(GetKeyName(14)));
}

}  // namespace
}  // namespace pv::settings::test
