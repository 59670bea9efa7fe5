// The work folder on a real (Wine) file system.
#include <gtest/gtest.h>

#include <windows.h>
// After <windows.h>:
#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "settings/win32/win32_work_folder_platform.h"
#include "tests/windows/settings/win32_test_support.h"

namespace pv::settings::test {
namespace {

std::wstring FreshFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring path = std::wstring(temp) + name;
  CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

TEST(WorkFolderWin32, ProfileFolderIsCreatedAndUsed) {
  const std::wstring profile = FreshFolder(L"pv_profile_ok");
  const std::wstring expected = profile + L"\\Presenter_Vela";
  RemoveDirectoryW(expected.c_str());
  ScopedEnvironment env(L"USERPROFILE", profile.c_str());
  Win32WorkFolderPlatform platform;
  WorkFolder folder(platform);
  folder.EnsureWorkFolder();
  EXPECT_FALSE(folder.UsesFallbackFolder());
  EXPECT_EQ(folder.GetWorkFolder(), expected);
  EXPECT_TRUE(IsDirectory(expected));
  folder.EnsureWorkFolder();  // already there
  EXPECT_FALSE(folder.UsesFallbackFolder());
}

TEST(WorkFolderWin32, FileInThePlaceOfTheFolderOrNoProfileGivesTheFallback) {
  const std::wstring profile = FreshFolder(L"pv_profile_file");
  const std::wstring blocker = profile + L"\\Presenter_Vela";
  HANDLE file =
      CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  Win32WorkFolderPlatform platform;
  {
    ScopedEnvironment env(L"USERPROFILE", profile.c_str());
    WorkFolder folder(platform);
    folder.EnsureWorkFolder();
    EXPECT_TRUE(folder.UsesFallbackFolder());
    EXPECT_EQ(folder.GetWorkFolder(), L"c:\\Presenter_Vela");
    EXPECT_TRUE(IsDirectory(L"c:\\Presenter_Vela"));
  }
  {
    ScopedEnvironment env(L"USERPROFILE", nullptr);
    WorkFolder folder(platform);
    folder.EnsureWorkFolder();
    EXPECT_TRUE(folder.UsesFallbackFolder());
    EXPECT_EQ(folder.GetWorkFolder(), L"c:\\Presenter_Vela");
  }
  DeleteFileW(blocker.c_str());
  RemoveDirectoryW(L"c:\\Presenter_Vela");
}

// The fallback folder is made for the current user alone; one owned by
// someone else is not ours.
TEST(WorkFolderWin32, PrivateFolderBelongsToTheUserAloneAndAForeignOneIsNotOurs) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"pv_private_" + std::to_wstring(GetCurrentProcessId());
  RemoveDirectoryW(path.c_str());
  EXPECT_FALSE(WorkFolderIsOurs(path)) << "a folder that does not exist is not ours";
  Win32WorkFolderPlatform platform;
  ASSERT_TRUE(platform.CreatePrivateFolder(path));
  EXPECT_TRUE(WorkFolderIsOurs(path));

  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                  &acl, nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_NE(acl, nullptr);
  // Only the user is allowed in; the system account (which Wine adds to every
  // access list it derives from a folder's Unix mode) may stay, nobody else.
  PSID user = nullptr;
  {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR ownerDescriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                    nullptr, nullptr, &ownerDescriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    user = owner;
    bool userAllowed = false;
    for (WORD i = 0; i < acl->AceCount; ++i) {
      ACCESS_ALLOWED_ACE* ace = nullptr;
      ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&ace)));
      PSID sid = reinterpret_cast<PSID>(&ace->SidStart);
      wchar_t* text = nullptr;
      ConvertSidToStringSidW(sid, &text);
      const std::wstring name = text != nullptr ? text : L"?";
      LocalFree(text);
      if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
      if (EqualSid(sid, user)) {
        userAllowed = true;
        continue;
      }
      EXPECT_EQ(name, L"S-1-5-18") << "someone else may use the folder";
    }
    EXPECT_TRUE(userAllowed);
    LocalFree(ownerDescriptor);
  }
  LocalFree(descriptor);

  // Someone else's folder: the owner is another account.
  PSID administrators = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidW(L"S-1-5-32-544", &administrators));
  SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                        administrators, nullptr, nullptr, nullptr);
  LocalFree(administrators);
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR ownerDescriptor = nullptr;
  GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &ownerDescriptor);
  wchar_t* ownerText = nullptr;
  if (owner != nullptr) ConvertSidToStringSidW(owner, &ownerText);
  const bool staged = ownerText != nullptr && std::wstring(ownerText) == L"S-1-5-32-544";
  LocalFree(ownerText);
  LocalFree(ownerDescriptor);
  if (!staged) {
    RemoveDirectoryW(path.c_str());
    GTEST_SKIP()
        << "this platform derives a folder's owner from the file system (Wine: the Unix owner), so a "
           "foreign owner cannot be staged; the host test WorkFolder.FallbackIsCreatedPrivate... covers "
           "the rule";
  }
  EXPECT_FALSE(WorkFolderIsOurs(path));
  RemoveDirectoryW(path.c_str());
}

}  // namespace
}  // namespace pv::settings::test
