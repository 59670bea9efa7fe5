// Which work folder is used, over a fake file system.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "settings/core/work_folder.h"

namespace pv::settings::test {
namespace {

class FakeFileSystem : public IWorkFolderPlatform {
 public:
  std::optional<std::wstring> profile;
  std::set<std::wstring> folders;
  std::set<std::wstring> files;
  std::set<std::wstring> unwritable;  // folders in which nothing can be created
  std::vector<std::wstring> createCalls;

  std::optional<std::wstring> UserProfile() const override { return profile; }
  Entry Probe(const std::wstring& path) const override {
    if (folders.count(path)) return Entry::kDirectory;
    if (files.count(path)) return Entry::kOther;
    return Entry::kNone;
  }
  bool CreateFolder(const std::wstring& path) override {
    createCalls.push_back(path);
    const std::wstring parent = path.substr(0, path.find_last_of(L'\\'));
    if (folders.count(path) || files.count(path) || unwritable.count(parent)) return false;
    folders.insert(path);
    return true;
  }
  bool CreatePrivateFolder(const std::wstring& path) override {
    privateCreateCalls.push_back(path);
    if (!CreateFolder(path)) return false;
    ownedByUs.insert(path);
    return true;
  }
  bool IsTrustedFolder(const std::wstring& path) const override { return ownedByUs.count(path) > 0; }

  std::set<std::wstring> ownedByUs;
  std::vector<std::wstring> privateCreateCalls;
};

constexpr const wchar_t* kProfile = L"C:\\Users\\Ann";
constexpr const wchar_t* kProfileFolder = L"C:\\Users\\Ann\\Presenter_Vela";
constexpr const wchar_t* kFallback = L"c:\\Presenter_Vela";

TEST(WorkFolder, DecidesBetweenProfileAndFallback) {
  const struct {
    const char* what;
    std::optional<std::wstring> profile;
    bool folderExists, fileInItsPlace, profileUnwritable;
    bool fallback;
    const wchar_t* folder;
    std::vector<std::wstring> creates;
  } cases[] = {
      {"folder already there", kProfile, true, false, false, false, kProfileFolder, {}},
      {"first start, profile writable",
       kProfile,
       false,
       false,
       false,
       false,
       kProfileFolder,
       {kProfileFolder}},
      {"a file named Presenter_Vela",
       kProfile,
       false,
       true,
       false,
       true,
       kFallback,
       {kProfileFolder, kFallback}},
      {"profile not writable", kProfile, false, false, true, true, kFallback, {kProfileFolder, kFallback}},
      {"USERPROFILE unset", std::nullopt, false, false, false, true, kFallback, {kFallback}},
      {"USERPROFILE empty", L"", false, false, false, true, kFallback, {kFallback}},
      {"profile with a trailing separator",
       L"C:\\Users\\Ann\\",
       false,
       false,
       false,
       false,
       kProfileFolder,
       {kProfileFolder}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeFileSystem fs;
    fs.profile = c.profile;
    if (c.folderExists) fs.folders.insert(kProfileFolder);
    if (c.fileInItsPlace) fs.files.insert(kProfileFolder);
    if (c.profileUnwritable) fs.unwritable.insert(kProfile);
    WorkFolder folder(fs);
    folder.EnsureWorkFolder();
    EXPECT_EQ(folder.UsesFallbackFolder(), c.fallback);
    EXPECT_EQ(folder.GetWorkFolder(), c.folder);
    EXPECT_EQ(fs.createCalls, c.creates);
    EXPECT_EQ(folder.PathOf(L"x.pdf"), std::wstring(c.folder) + L"\\x.pdf");
  }
}

TEST(WorkFolder, FallbackChosenAtStartStaysForTheWholeRun) {
  FakeFileSystem fs;
  fs.profile = kProfile;
  fs.files.insert(kProfileFolder);
  WorkFolder folder(fs);
  folder.EnsureWorkFolder();
  fs.files.clear();
  fs.folders.insert(kProfileFolder);  // fixed by the user meanwhile
  EXPECT_EQ(folder.GetWorkFolder(), kFallback);
}

TEST(WorkFolder, ProfileDisappearingLaterGivesTheFallback) {
  FakeFileSystem fs;
  fs.profile = kProfile;
  WorkFolder folder(fs);
  folder.EnsureWorkFolder();
  ASSERT_FALSE(folder.UsesFallbackFolder());
  fs.profile.reset();
  EXPECT_EQ(folder.GetWorkFolder(), kFallback);
}

// The fallback at the root of drive c: can be made by any user of the
// machine: ours is created for us alone, and one made by someone else is not
// ours (nothing that will be run goes there).
TEST(WorkFolder, FallbackIsCreatedPrivateAndAForeignOneIsNotOurs) {
  FakeFileSystem fs;  // no profile
  WorkFolder fresh(fs);
  fresh.EnsureWorkFolder();
  EXPECT_EQ(fs.privateCreateCalls, (std::vector<std::wstring>{kFallback}));
  EXPECT_TRUE(fresh.IsOurs());

  FakeFileSystem squatted;
  squatted.folders.insert(kFallback);  // made earlier by another user
  WorkFolder foreign(squatted);
  foreign.EnsureWorkFolder();
  EXPECT_TRUE(foreign.UsesFallbackFolder());
  EXPECT_FALSE(foreign.IsOurs());

  FakeFileSystem profile;
  profile.profile = kProfile;
  profile.folders.insert(kProfileFolder);
  WorkFolder own(profile);
  own.EnsureWorkFolder();
  EXPECT_TRUE(profile.privateCreateCalls.empty());
  // The profile folder is judged by the same rule: a junction or a folder
  // others may write into is not ours there either.
  EXPECT_FALSE(own.IsOurs()) << "a profile folder that fails the folder rule";
  profile.ownedByUs.insert(kProfileFolder);
  EXPECT_TRUE(own.IsOurs());
}

}  // namespace
}  // namespace pv::settings::test
