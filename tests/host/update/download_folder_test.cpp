// Where the update files go, and the updater's command line.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "update/core/download_folder.h"

namespace pv::update::test {
namespace {

class FakeFileSystem : public settings::IWorkFolderPlatform {
 public:
  std::optional<std::wstring> profile = L"C:\\Users\\Ann";
  std::set<std::wstring> folders;
  std::set<std::wstring> files;
  bool creationFails = false;
  std::vector<std::wstring> created;

  std::optional<std::wstring> UserProfile() const override { return profile; }
  Entry Probe(const std::wstring& path) const override {
    if (folders.count(path)) return Entry::kDirectory;
    return files.count(path) ? Entry::kOther : Entry::kNone;
  }
  bool IsTrustedFolder(const std::wstring& path) const override {
    return folders.count(path) != 0 && !foreign.count(path);
  }
  std::set<std::wstring> foreign;  // folders another user owns
  bool CreateFolder(const std::wstring& path) override {
    if (creationFails || files.count(path) || folders.count(path)) return false;
    created.push_back(path);
    folders.insert(path);
    return true;
  }
};

constexpr wchar_t kWork[] = L"C:\\Users\\Ann\\Presenter_Vela";
constexpr wchar_t kTemp[] = L"C:\\Users\\Ann\\Presenter_Vela\\temp";

struct DownloadFolderTest : ::testing::Test {
  FakeFileSystem fs;
  settings::WorkFolder work{fs};
  void SetUp() override {
    fs.folders.insert(kWork);
    work.EnsureWorkFolder();
  }
};

TEST_F(DownloadFolderTest, AProgramElsewhereDownloadsIntoTheWorkFolder) {
  DownloadFolder folder(work, fs, L"D:\\Tools\\PresenterVela.exe");
  std::wstring out;
  EXPECT_TRUE(folder.GetDownloadFolder(out));
  EXPECT_EQ(out, kWork);
  EXPECT_EQ(folder.State(), kFolderWork);
  EXPECT_TRUE(fs.created.empty());
}

TEST_F(DownloadFolderTest, AProgramInTheWorkFolderDownloadsIntoItsTempSubfolder) {
  // Also when the path differs only in case or by a separator: Windows sees one folder.
  for (const wchar_t* program :
       {L"C:\\Users\\Ann\\Presenter_Vela\\PresenterVela_xp.exe",
        L"c:\\users\\ann\\presenter_vela\\PresenterVela_xp.exe", L"C:/Users/Ann/Presenter_Vela/x.exe"}) {
    fs.folders.erase(kTemp);
    fs.created.clear();
    DownloadFolder folder(work, fs, program);
    std::wstring out;
    EXPECT_TRUE(folder.GetDownloadFolder(out));
    EXPECT_EQ(out, kTemp);
    EXPECT_EQ(folder.State(), kFolderTemp);
    EXPECT_EQ(fs.created, std::vector<std::wstring>{kTemp});  // made on first use
    fs.created.clear();
    EXPECT_TRUE(folder.GetDownloadFolder(out));  // decided: not probed or made again
    EXPECT_EQ(out, kTemp);
    EXPECT_TRUE(fs.created.empty());
  }
}

TEST_F(DownloadFolderTest, ATempSubfolderThatCannotBeMadeFailsAndStaysUndecided) {
  fs.files.insert(kTemp);  // a file named "temp" is in the way
  DownloadFolder folder(work, fs, L"C:\\Users\\Ann\\Presenter_Vela\\PresenterVela_xp.exe");
  std::wstring out;
  EXPECT_FALSE(folder.GetDownloadFolder(out));
  EXPECT_EQ(out, kTemp);  // the path is still given
  EXPECT_EQ(folder.State(), kFolderUndecided);

  fs.files.clear();
  EXPECT_TRUE(folder.GetDownloadFolder(out));  // tried again next time
  EXPECT_EQ(folder.State(), kFolderTemp);
  folder.Reset();
  EXPECT_EQ(folder.State(), kFolderUndecided);
}

// The "temp" subfolder is judged by the folder rule too, at every call: a
// junction put in its place (or made before our first use) is refused.
TEST_F(DownloadFolderTest, ATempSubfolderThatFailsTheFolderRuleReceivesNothing) {
  DownloadFolder folder(work, fs, L"C:\\Users\\Ann\\Presenter_Vela\\PresenterVela_xp.exe");
  std::wstring out;
  ASSERT_TRUE(folder.GetDownloadFolder(out));
  EXPECT_EQ(out, kTemp);
  fs.foreign.insert(kTemp);
  EXPECT_FALSE(folder.GetDownloadFolder(out)) << "swapped after the decision";
  DownloadFolder fresh(work, fs, L"C:\\Users\\Ann\\Presenter_Vela\\PresenterVela_xp.exe");
  EXPECT_FALSE(fresh.GetDownloadFolder(out)) << "there before the first use";
  EXPECT_EQ(fresh.State(), kFolderUndecided);
}

TEST(DownloadFolderFallback, AFallbackFolderSomeoneElseOwnsReceivesNoDownload) {
  FakeFileSystem fs;
  fs.profile.reset();  // no profile: the fallback at the root of c: is used
  settings::WorkFolder work{fs};
  work.EnsureWorkFolder();
  ASSERT_TRUE(work.UsesFallbackFolder());
  const std::wstring fallback = work.GetWorkFolder();
  ASSERT_TRUE(fs.folders.count(fallback));

  DownloadFolder ours(work, fs, L"D:\\Tools\\PresenterVela.exe");
  std::wstring out;
  EXPECT_TRUE(ours.GetDownloadFolder(out)) << "made by us: usable";

  fs.foreign.insert(fallback);  // it was there first, made by another user
  DownloadFolder theirs(work, fs, L"D:\\Tools\\PresenterVela.exe");
  EXPECT_FALSE(theirs.GetDownloadFolder(out));
  EXPECT_EQ(theirs.State(), kFolderUndecided);
}

TEST(SameFolder, IgnoresCaseSeparatorsAndATrailingSeparator) {
  EXPECT_TRUE(SameFolder(L"C:\\A\\b", L"c:\\a\\B\\"));
  EXPECT_TRUE(SameFolder(L"C:\\A/b", L"C:\\A\\b"));
  EXPECT_FALSE(SameFolder(L"C:\\A\\b", L"C:\\A\\bc"));
  EXPECT_FALSE(SameFolder(L"C:\\A\\b", L"C:\\A"));
  EXPECT_EQ(FolderOf(L"C:\\A\\b.exe"), L"C:\\A");
  EXPECT_EQ(FolderOf(L"b.exe"), L"");
}

TEST(UpdaterParameters, QuotesBothPathsSoSpacesStayInside) {
  EXPECT_EQ(UpdaterParameters(L"C:\\Users\\Ann Lee\\Presenter_Vela\\PresenterVela_xp.exe",
                              L"D:\\My Tools\\Presenter Vela\\PresenterVela.exe"),
            L"\"C:\\Users\\Ann Lee\\Presenter_Vela\\PresenterVela_xp.exe\" "
            L"\"D:\\My Tools\\Presenter Vela\\PresenterVela.exe\"");
  EXPECT_EQ(PathIn(L"C:\\a b", L"Renewa.exe"), L"C:\\a b\\Renewa.exe");
}

}  // namespace
}  // namespace pv::update::test
