// The folder rule as a table: reparse points, owners and access entries.
#include <gtest/gtest.h>

#include "settings/core/folder_trust.h"

namespace pv::settings::test {
namespace {

constexpr wchar_t kUser[] = L"S-1-5-21-1-2-3-1001";
constexpr wchar_t kOtherUser[] = L"S-1-5-21-1-2-3-1002";
constexpr wchar_t kEveryone[] = L"S-1-1-0";
constexpr wchar_t kAuthenticatedUsers[] = L"S-1-5-11";
constexpr wchar_t kUsers[] = L"S-1-5-32-545";

constexpr std::uint32_t kFullControl = 0x001F01FF;
constexpr std::uint32_t kReadExecute = 0x001200A9;
constexpr std::uint32_t kModify = 0x001301BF;

using Kind = AccessEntry::Kind;

FolderFacts OwnFolder(std::vector<AccessEntry> entries) {
  FolderFacts facts;
  facts.isDirectory = true;
  facts.owner = kUser;
  facts.hasAccessList = true;
  facts.entries = std::move(entries);
  return facts;
}

TEST(FolderTrust, TheRuleAsATable) {
  const std::vector<AccessEntry> profileDefaults = {
      {Kind::kAllow, kFullControl, kUser},
      {Kind::kAllow, kFullControl, std::wstring(kSystemSid)},
      {Kind::kAllow, kFullControl, std::wstring(kAdministratorsSid)},
  };
  FolderFacts junction = OwnFolder(profileDefaults);
  junction.isReparsePoint = true;
  FolderFacts file = OwnFolder(profileDefaults);
  file.isDirectory = false;
  FolderFacts foreignOwner = OwnFolder(profileDefaults);
  foreignOwner.owner = kOtherUser;
  FolderFacts unknownOwner = OwnFolder(profileDefaults);
  unknownOwner.owner.clear();
  FolderFacts noAccessList = OwnFolder({});
  noAccessList.hasAccessList = false;

  auto with = [&](AccessEntry extra) {
    std::vector<AccessEntry> entries = profileDefaults;
    entries.push_back(std::move(extra));
    return OwnFolder(entries);
  };
  const struct {
    const char* what;
    FolderFacts facts;
    FolderVerdict verdict;
  } cases[] = {
      {"the profile's defaults: user, SYSTEM, Administrators", OwnFolder(profileDefaults),
       FolderVerdict::kTrusted},
      {"the user alone (our private fallback)", OwnFolder({{Kind::kAllow, kFullControl, kUser}}),
       FolderVerdict::kTrusted},
      {"an empty access list lets nobody in", OwnFolder({}), FolderVerdict::kTrusted},
      {"everyone may read and list", with({Kind::kAllow, kReadExecute, kEveryone}), FolderVerdict::kTrusted},
      {"creator owner, for items made inside",
       with({Kind::kAllow, kFullControl, std::wstring(kCreatorOwnerSid)}), FolderVerdict::kTrusted},
      {"a deny entry for everyone", with({Kind::kDeny, kFullControl, kEveryone}), FolderVerdict::kTrusted},
      {"a junction (re-pointable)", junction, FolderVerdict::kReparsePoint},
      {"a file, not a folder", file, FolderVerdict::kNotAFolder},
      {"another user's folder", foreignOwner, FolderVerdict::kForeignOwner},
      {"an owner that could not be read", unknownOwner, FolderVerdict::kForeignOwner},
      {"no access list at all", noAccessList, FolderVerdict::kOpenToAll},
      {"c:\\'s inherited modify for authenticated users", with({Kind::kAllow, kModify, kAuthenticatedUsers}),
       FolderVerdict::kForeignWriter},
      {"another user may add files", with({Kind::kAllow, 0x2, kOtherUser}), FolderVerdict::kForeignWriter},
      {"users may add subfolders", with({Kind::kAllow, 0x4, kUsers}), FolderVerdict::kForeignWriter},
      {"everyone may delete items", with({Kind::kAllow, 0x40, kEveryone}), FolderVerdict::kForeignWriter},
      {"everyone may delete the folder", with({Kind::kAllow, 0x10000, kEveryone}),
       FolderVerdict::kForeignWriter},
      {"another user may change the access list", with({Kind::kAllow, 0x40000, kOtherUser}),
       FolderVerdict::kForeignWriter},
      {"another user may take ownership", with({Kind::kAllow, 0x80000, kOtherUser}),
       FolderVerdict::kForeignWriter},
      {"generic write for everyone", with({Kind::kAllow, 0x40000000, kEveryone}),
       FolderVerdict::kForeignWriter},
      {"generic all for everyone", with({Kind::kAllow, 0x10000000, kEveryone}),
       FolderVerdict::kForeignWriter},
      {"an entry of an unknown kind", with({Kind::kOther, 0, kEveryone}), FolderVerdict::kUnknownEntry},
  };
  for (const auto& c : cases) EXPECT_EQ(JudgeFolder(c.facts, kUser), c.verdict) << c.what;
}

TEST(FolderTrust, WithoutTheUsersOwnSidNothingIsTrusted) {
  EXPECT_EQ(JudgeFolder(OwnFolder({{Kind::kAllow, kFullControl, kUser}}), L""), FolderVerdict::kForeignOwner);
}

TEST(FolderTrust, FolderNamesCompareAfterNormalisation) {
  const struct {
    const wchar_t* a;
    const wchar_t* b;
    bool same;
  } cases[] = {
      {L"C:\\Users\\Ann\\Presenter_Vela", L"c:\\users\\ann\\presenter_vela", true},
      {L"C:\\Users\\Ann\\Presenter_Vela\\", L"C:/Users/Ann/Presenter_Vela", true},
      {L"C:\\Users\\Ann\\.\\Presenter_Vela", L"C:\\Users\\Ann\\\\Presenter_Vela", true},
      {L"C:\\Users\\Ann\\x\\..\\Presenter_Vela", L"C:\\Users\\Ann\\Presenter_Vela", true},
      {L"\\\\?\\C:\\Users\\Ann\\Presenter_Vela", L"C:\\Users\\Ann\\Presenter_Vela", true},
      {L"C:\\..\\..\\Presenter_Vela", L"C:\\Presenter_Vela", true},
      {L"\\\\server\\share\\Presenter_Vela", L"\\\\?\\UNC\\server\\share\\Presenter_Vela", true},
      {L"C:\\Users\\Ann\\Presenter_Vela", L"C:\\Users\\Ann\\Presenter_Vela\\temp", false},
      {L"C:\\Users\\Ann\\Presenter_Vela", L"D:\\Users\\Ann\\Presenter_Vela", false},
      {L"\\\\server\\share", L"C:\\server\\share", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameFolderPath(c.a, c.b), c.same) << std::string(c.a, c.a + wcslen(c.a));
  }
}

}  // namespace
}  // namespace pv::settings::test
