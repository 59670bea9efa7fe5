// The work folder on a real (Wine) file system.
#include <gtest/gtest.h>

#include <windows.h>

#include "settings/win32/win32_work_folder_platform.h"
#include "tests/windows/settings/win32_test_support.h"

namespace pv::settings {
namespace {

using test::IsDirectory;
using test::ScopedEnvironment;

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

}  // namespace
}  // namespace pv::settings
