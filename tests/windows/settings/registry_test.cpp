// CRegKeys against the real registry: values directly in HKEY_CURRENT_USER
// under names with backslashes, as installed copies and `reg` see them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "settings/win32/reg_keys.h"
#include "tests/windows/settings/win32_test_support.h"

namespace pv::settings::test {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteAll(); }
  void TearDown() override { DeleteAll(); }

  static void DeleteAll() {
    for (int32_t id = 1; id <= 18; ++id) {
      RegDeleteValueW(HKEY_CURRENT_USER, std::wstring(CRegKeys::GetKeyName(id)).c_str());
    }
  }
  static void Plant(int32_t id, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExW(HKEY_CURRENT_USER, std::wstring(CRegKeys::GetKeyName(id)).c_str(), 0, type,
                             static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  static DWORD StoredType(int32_t id) {
    DWORD type = 0;
    RegQueryValueExW(HKEY_CURRENT_USER, std::wstring(CRegKeys::GetKeyName(id)).c_str(), nullptr, &type,
                     nullptr, nullptr);
    return type;
  }
};

TEST_F(RegistryTest, EveryIdRoundTripsAsADwordInTheRootKeyWithoutASubkey) {
  for (int32_t id = 1; id <= 18; ++id) {
    if (id == 9) continue;  // shares its value with the out-of-table ids, below
    ASSERT_EQ(CRegKeys::WriteValue(id, 0x01000000u * static_cast<uint32_t>(id) + 7), 1) << id;
  }
  for (int32_t id = 1; id <= 18; ++id) {
    if (id == 9) continue;
    uint32_t v = 0;
    EXPECT_EQ(CRegKeys::ReadValue(id, v), 1) << id;
    EXPECT_EQ(v, 0x01000000u * static_cast<uint32_t>(id) + 7) << id;
    EXPECT_EQ(StoredType(id), static_cast<DWORD>(REG_DWORD)) << id;
  }
  HKEY subKey = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Korvel", 0, KEY_READ, &subKey), ERROR_SUCCESS)
      << "a subkey was created";
  if (subKey) RegCloseKey(subKey);

  ASSERT_EQ(CRegKeys::WriteValue(-1, 0xFFFFFFFFu), 1);
  for (int32_t id : {0, 9, 19}) {
    uint32_t v = 0;
    EXPECT_EQ(CRegKeys::ReadValue(id, v), 1);
    EXPECT_EQ(v, 0xFFFFFFFFu) << id;
  }
}

TEST_F(RegistryTest, WrongTypesAndSizesReadAsAbsentOrOutOfRange) {
  const wchar_t sz[] = L"12";  // 6 bytes with its terminator
  Plant(5, REG_SZ, sz, sizeof(sz));
  const uint8_t binary[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  Plant(17, REG_BINARY, binary, sizeof(binary));
  const DWORD allOnes = 0xFFFFFFFF;
  Plant(18, REG_DWORD, &allOnes, sizeof(allOnes));
  const DWORD keep = 33;
  Plant(16, REG_DWORD, &keep, sizeof(keep));

  uint32_t v = 99;
  EXPECT_EQ(CRegKeys::ReadValue(5, v), 0);
  EXPECT_EQ(v, 0u);
  EXPECT_EQ(CRegKeys::ReadValue(17, v), 0);
  EXPECT_EQ(CRegKeys::ReadValue(18, v), 1);
  EXPECT_EQ(v, 0xFFFFFFFFu);

  EXPECT_EQ(CRegKeys::Load(SettingId::kBrightness).value, 80u);
  EXPECT_EQ(StoredType(5), static_cast<DWORD>(REG_DWORD)) << "the default is written over the string";
  EXPECT_EQ(CRegKeys::Load(SettingId::kPointerSpeed).value, 50u);
  EXPECT_EQ(CRegKeys::Load(SettingId::kCircleColor).value, 0u);
  EXPECT_EQ(CRegKeys::ReadValue(18, v), 1);
  EXPECT_EQ(v, 0u) << "CircleColor out of range is written back as 0";
  EXPECT_EQ(CRegKeys::ReadValue(16, v), 1);
  EXPECT_EQ(v, 33u) << "an unrelated value was touched";
}

TEST_F(RegistryTest, RegToolSeesWhatTheProgramWrote) {
  ASSERT_TRUE(CRegKeys::Save(SettingId::kLastScene, 2));
  const auto output =
      RunAndCapture(L"reg.exe query HKCU /v \"SOFTWARE\\Korvel\\PresenterVela\\LastScene\"", 30000);
  ASSERT_TRUE(output.has_value()) << "reg.exe did not run";
  EXPECT_NE(output->find("SOFTWARE\\Korvel\\PresenterVela\\LastScene"), std::string::npos) << *output;
  EXPECT_NE(output->find("REG_DWORD"), std::string::npos) << *output;
  EXPECT_NE(output->find("0x2"), std::string::npos) << *output;
}

}  // namespace
}  // namespace pv::settings::test
