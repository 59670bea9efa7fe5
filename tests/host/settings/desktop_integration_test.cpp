// Autostart, the help document and the drive walk, over a recording fake desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "settings/core/desktop_integration.h"
#include "settings/core/key_names.h"
#include "settings/core/memory_backend.h"
#include "settings/core/setting_ids.h"

namespace pv::settings::test {
namespace {

struct Shortcut {
  std::wstring target, folder, name, description;
  bool operator==(const Shortcut&) const = default;
};

class FakeDesktop : public IDesktopPlatform {
 public:
  std::wstring exe = L"C:\\Program Files\\Vela\\PresenterVela.exe";
  std::vector<std::pair<std::wstring, unsigned>> drives = {{L"A:\\", kDriveRemovable},
                                                           {L"C:\\", kDriveFixed},
                                                           {L"E:\\", kDriveRemovable},
                                                           {L"N:\\", kDriveRemote}};
  bool runKeyOpens = true;
  bool copySucceeds = true;
  bool replaceSucceeds = true;
  bool deleteSucceeds = true;
  std::vector<uint8_t> programBytes = {'M', 'Z', 0x90, 0x00, 'P', 'V'};
  bool writeSucceeds = true;
  std::optional<std::wstring> desktop = L"C:\\Users\\Ann\\Desktop";
  std::wstring productName = L"Presenter Vela";
  std::vector<uint8_t> zhPdf = {'%', 'P', 'D', 'F', 'z'}, enPdf = {'%', 'P', 'D', 'F', 'e'};

  std::map<std::wstring, std::wstring> runValues;
  std::vector<std::pair<std::wstring, std::wstring>> copies;
  std::vector<Shortcut> shortcuts;
  std::map<std::wstring, std::vector<uint8_t>> files;
  std::vector<std::wstring> opened;
  int runKeyOpenCount = 0;

  std::wstring ModuleFileName() const override { return exe; }
  std::vector<std::wstring> LogicalDrives() const override {
    std::vector<std::wstring> roots;
    for (const auto& d : drives) roots.push_back(d.first);
    return roots;
  }
  unsigned DriveType(const std::wstring& root) const override {
    for (const auto& d : drives)
      if (d.first == root) return d.second;
    return kDriveUnknown;
  }
  // A failed copy leaves what a pulled-out stick leaves: part of the file.
  bool CopyFileTo(const std::wstring& from, const std::wstring& to) override {
    if (!copySucceeds) {
      files[to] = {'M', 'Z'};
      return false;
    }
    copies.emplace_back(from, to);
    files[to] = programBytes;
    return true;
  }
  bool ReplaceFileWith(const std::wstring& from, const std::wstring& to) override {
    if (!replaceSucceeds || !files.count(from)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  void RemoveFile(const std::wstring& path) override { files.erase(path); }
  bool FileHasContent(const std::wstring& path, std::span<const uint8_t> bytes) const override {
    const auto found = files.find(path);
    return found != files.end() &&
           std::equal(found->second.begin(), found->second.end(), bytes.begin(), bytes.end());
  }
  std::unique_ptr<IRunKey> OpenRunKey() override {
    if (!runKeyOpens) return nullptr;
    ++runKeyOpenCount;
    return std::make_unique<Key>(*this);
  }
  std::optional<std::wstring> DesktopFolder() const override { return desktop; }
  std::wstring ProductName() const override { return productName; }
  bool CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::wstring& name,
                      const std::wstring& description) override {
    shortcuts.push_back({target, folder, name, description});
    return true;
  }
  std::span<const uint8_t> HelpDocument(bool chinese) const override { return chinese ? zhPdf : enPdf; }
  bool WriteWholeFile(const std::wstring& path, std::span<const uint8_t> bytes) override {
    if (!writeSucceeds) return false;
    files[path].assign(bytes.begin(), bytes.end());
    return true;
  }
  void OpenDocument(const std::wstring& path) override { opened.push_back(path); }

 private:
  struct Key : IRunKey {
    explicit Key(FakeDesktop& d) : desktop(d) {}
    bool SetString(const std::wstring& name, const std::wstring& value) override {
      desktop.runValues[name] = value;
      return true;
    }
    bool DeleteValue(const std::wstring& name) override {
      if (!desktop.deleteSucceeds) return false;
      desktop.runValues.erase(name);
      return true;
    }
    FakeDesktop& desktop;
  };
};

class ProfileOnly : public IWorkFolderPlatform {
 public:
  std::optional<std::wstring> UserProfile() const override { return L"C:\\Users\\Ann"; }
  Entry Probe(const std::wstring&) const override { return Entry::kDirectory; }
  bool CreateFolder(const std::wstring&) override { return false; }
  bool CreatePrivateFolder(const std::wstring&) override { return false; }
  bool IsTrustedFolder(const std::wstring&) const override { return true; }
};

// No profile: the fallback at the root of drive c:, owned by us or not.
class FallbackOnly : public IWorkFolderPlatform {
 public:
  bool owned = false;
  std::optional<std::wstring> UserProfile() const override { return std::nullopt; }
  Entry Probe(const std::wstring&) const override { return Entry::kDirectory; }
  bool CreateFolder(const std::wstring&) override { return false; }
  bool CreatePrivateFolder(const std::wstring&) override { return false; }
  bool IsTrustedFolder(const std::wstring&) const override { return owned; }
};

class DesktopIntegrationTest : public ::testing::Test {
 protected:
  DesktopIntegrationTest() { workFolder.EnsureWorkFolder(); }

  std::optional<uint32_t> AutoBoot() const { return backend.Dword(GetKeyName(ToInt(SettingId::kAutoBoot))); }

  FakeDesktop desktop;
  MemoryBackend backend;
  SettingsStore store{backend};
  ProfileOnly fs;
  WorkFolder workFolder{fs};
  DesktopIntegration integration{desktop, store, workFolder};
  const std::wstring copyPath = L"C:\\Users\\Ann\\Presenter_Vela\\PresenterVela_xp.exe";
  const std::wstring partialPath = copyPath + L".partial";
};

TEST_F(DesktopIntegrationTest, DriveTypeOfThePathsDriveLetter) {
  desktop.drives.clear();
  for (wchar_t letter = L'A'; letter <= L'L'; ++letter)  // twelve drives; L: is the last
    desktop.drives.emplace_back(std::wstring(1, letter) + L":\\",
                                letter == L'L' ? kDriveFixed : kDriveRemovable);
  desktop.drives[2].second = kDriveFixed;  // C:
  const struct {
    const wchar_t* path;
    unsigned type;
  } cases[] = {
      {L"C:\\Tools\\PresenterVela.exe", kDriveFixed},
      {L"c:\\tools\\presentervela.exe", kDriveFixed},
      {L"E:\\PresenterVela.exe", kDriveRemovable},
      {L"L:\\PresenterVela.exe", kDriveFixed},
      {L"Q:\\PresenterVela.exe", kDriveUnknown},
      {L"\\\\server\\share\\PresenterVela.exe", kDriveUnknown},
      {L"Cx\\PresenterVela.exe", kDriveUnknown},
      {L"C", kDriveUnknown},
      {L"", kDriveUnknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(integration.GetExeDriveType(c.path), c.type) << std::string(c.path, c.path + wcslen(c.path));
}

TEST_F(DesktopIntegrationTest, HelpDocumentOfEachLanguageIsWrittenThenOpened) {
  const std::wstring path = L"C:\\Users\\Ann\\Presenter_Vela\\Help_PresenterVela.pdf";
  EXPECT_TRUE(integration.OpenHelpDocument(true));
  EXPECT_EQ(desktop.files[path], desktop.zhPdf);
  EXPECT_TRUE(integration.OpenHelpDocument(false));
  EXPECT_EQ(desktop.files[path], desktop.enPdf);
  EXPECT_EQ(desktop.opened, (std::vector<std::wstring>{path, path}));
}

TEST_F(DesktopIntegrationTest, HelpDocumentNotWritableOpensNothing) {
  desktop.writeSucceeds = false;
  EXPECT_FALSE(integration.OpenHelpDocument(false));
  desktop.writeSucceeds = true;
  desktop.enPdf.clear();  // resource missing
  EXPECT_FALSE(integration.OpenHelpDocument(false));
  EXPECT_TRUE(desktop.opened.empty());
  EXPECT_TRUE(desktop.files.empty());
}

TEST_F(DesktopIntegrationTest, AutostartFromAFixedDriveRunsTheProgramItself) {
  EXPECT_TRUE(integration.SetAutostart(true));
  EXPECT_EQ(desktop.runValues[L"Presenter_Vela"], L"\"" + desktop.exe + L"\"");
  EXPECT_TRUE(desktop.copies.empty());
  EXPECT_EQ(AutoBoot(), 1u);
  EXPECT_EQ(desktop.shortcuts, (std::vector<Shortcut>{{desktop.exe, L"C:\\Users\\Ann\\Desktop",
                                                       L"Presenter Vela", L"Presenter Vela"}}));
}

TEST_F(DesktopIntegrationTest, AutostartFromARemovableOrNetworkDriveRunsACopy) {
  for (const wchar_t* exe :
       {L"E:\\PresenterVela.exe", L"N:\\Vela\\PresenterVela.exe", L"\\\\srv\\s\\PV.exe"}) {
    SCOPED_TRACE(std::string(exe, exe + wcslen(exe)));
    desktop.exe = exe;
    desktop.copies.clear();
    desktop.shortcuts.clear();
    EXPECT_TRUE(integration.SetAutostart(true));
    EXPECT_EQ(desktop.copies, (std::vector<std::pair<std::wstring, std::wstring>>{{exe, partialPath}}));
    EXPECT_EQ(desktop.files[copyPath], desktop.programBytes) << "copied, then put in place in one step";
    EXPECT_EQ(desktop.files.count(partialPath), 0u);
    EXPECT_EQ(desktop.runValues[L"Presenter_Vela"], L"\"" + copyPath + L"\"");
    ASSERT_EQ(desktop.shortcuts.size(), 1u);
    EXPECT_EQ(desktop.shortcuts[0].target, copyPath);
    EXPECT_EQ(AutoBoot(), 1u);
  }
}

TEST_F(DesktopIntegrationTest, FailedCopyClaimsNothing) {
  desktop.exe = L"E:\\PresenterVela.exe";
  desktop.copySucceeds = false;
  EXPECT_FALSE(integration.SetAutostart(true));
  EXPECT_TRUE(desktop.runValues.empty());
  EXPECT_TRUE(desktop.shortcuts.empty());
  EXPECT_FALSE(AutoBoot().has_value());
}

// A stick pulled out mid-copy: the copy the Run value may already name stays
// whole, the partial file goes, and nothing claims autostart is on.
TEST_F(DesktopIntegrationTest, CopyCutShortNeverReplacesTheProgramTheRunValueStarts) {
  desktop.exe = L"E:\\PresenterVela.exe";
  const std::vector<uint8_t> older = {'M', 'Z', 'o', 'l', 'd'};
  for (const bool copyFails : {true, false}) {
    SCOPED_TRACE(copyFails ? "copy cut short" : "replace refused");
    desktop.files[copyPath] = older;
    desktop.copySucceeds = !copyFails;
    desktop.replaceSucceeds = copyFails;
    EXPECT_FALSE(integration.SetAutostart(true));
    EXPECT_EQ(desktop.files[copyPath], older);
    EXPECT_EQ(desktop.files.count(partialPath), 0u);
    EXPECT_TRUE(desktop.runValues.empty());
    EXPECT_FALSE(AutoBoot().has_value());
  }
}

TEST_F(DesktopIntegrationTest, FailuresToStoreOrRemoveAreNotReportedAsSuccess) {
  ASSERT_TRUE(integration.SetAutostart(true));
  // The Run value cannot be deleted: the program would still start at logon.
  desktop.deleteSucceeds = false;
  EXPECT_FALSE(integration.SetAutostart(false));
  EXPECT_EQ(desktop.runValues.count(L"Presenter_Vela"), 1u);
  EXPECT_EQ(AutoBoot(), 1u) << "AutoBoot still says what is true";
  // A Run value that is already gone is off.
  desktop.deleteSucceeds = true;
  desktop.runValues.clear();
  EXPECT_TRUE(integration.SetAutostart(false));
  EXPECT_EQ(AutoBoot(), 0u);
  // AutoBoot itself cannot be stored.
  backend.FailWrites(true);
  EXPECT_FALSE(integration.SetAutostart(true));
  EXPECT_FALSE(integration.SetAutostart(false));
}

// The fallback at the root of drive c:, ours or someone else's.
struct DesktopIntegrationFallback : ::testing::Test {
  DesktopIntegrationFallback() {
    desktop.exe = L"E:\\PresenterVela.exe";
    workFolder.EnsureWorkFolder();
  }
  FakeDesktop desktop;
  MemoryBackend backend;
  SettingsStore store{backend};
  FallbackOnly fs;
  WorkFolder workFolder{fs};
  DesktopIntegration integration{desktop, store, workFolder};
};

// Made first by another user: no program of ours goes there.
TEST_F(DesktopIntegrationFallback, NoAutostartCopyIntoAWorkFolderThatIsNotOurs) {
  EXPECT_FALSE(integration.SetAutostart(true));
  EXPECT_TRUE(desktop.copies.empty());
  EXPECT_TRUE(desktop.runValues.empty());
  fs.owned = true;
  EXPECT_TRUE(integration.SetAutostart(true));
  EXPECT_EQ(desktop.runValues[L"Presenter_Vela"], L"\"c:\\Presenter_Vela\\PresenterVela_xp.exe\"");
}

// A work folder that fails the folder rule gets no manual and opens none:
// the document there could be someone else's.
TEST_F(DesktopIntegrationFallback, NoHelpDocumentFromAWorkFolderThatIsNotOurs) {
  EXPECT_FALSE(integration.OpenHelpDocument(false));
  EXPECT_TRUE(desktop.files.empty());
  EXPECT_TRUE(desktop.opened.empty());
  fs.owned = true;
  EXPECT_TRUE(integration.OpenHelpDocument(false));
  EXPECT_EQ(desktop.opened, std::vector<std::wstring>{L"c:\\Presenter_Vela\\Help_PresenterVela.pdf"});
}

// F1 while a viewer shows (and locks) the manual: the same document opens.
TEST_F(DesktopIntegrationTest, IdenticalDocumentAlreadyThereIsOpenedEvenWhenLocked) {
  const std::wstring path = L"C:\\Users\\Ann\\Presenter_Vela\\Help_PresenterVela.pdf";
  ASSERT_TRUE(integration.OpenHelpDocument(false));
  desktop.writeSucceeds = false;  // locked by the viewer
  EXPECT_TRUE(integration.OpenHelpDocument(false));
  EXPECT_EQ(desktop.opened, (std::vector<std::wstring>{path, path}));
  // The other language's manual is there and locked: nothing opens.
  EXPECT_FALSE(integration.OpenHelpDocument(true));
  EXPECT_EQ(desktop.opened.size(), 2u);
}

TEST_F(DesktopIntegrationTest, RunKeyThatCannotBeOpenedTouchesNothing) {
  desktop.runKeyOpens = false;
  EXPECT_FALSE(integration.SetAutostart(true));
  EXPECT_FALSE(integration.SetAutostart(false));
  EXPECT_TRUE(desktop.shortcuts.empty());
  EXPECT_TRUE(desktop.copies.empty());
  EXPECT_EQ(backend.WriteCount(), 0);
}

TEST_F(DesktopIntegrationTest, NoDesktopMeansNoShortcutAndNoNameMeansTheProductName) {
  desktop.desktop.reset();
  EXPECT_TRUE(integration.SetAutostart(true));
  EXPECT_TRUE(desktop.shortcuts.empty());
  EXPECT_EQ(desktop.runValues.count(L"Presenter_Vela"), 1u);

  desktop.desktop = L"D:\\Desk";
  desktop.productName.clear();
  EXPECT_TRUE(integration.SetAutostart(true));
  ASSERT_EQ(desktop.shortcuts.size(), 1u);
  EXPECT_EQ(desktop.shortcuts[0].name, L"Presenter Vela");
}

TEST_F(DesktopIntegrationTest, AutostartOffRemovesOnlyTheRunValue) {
  desktop.runValues[L"Other"] = L"other.exe";
  ASSERT_TRUE(integration.SetAutostart(true));
  desktop.exe = L"E:\\PresenterVela.exe";
  const size_t shortcutsBefore = desktop.shortcuts.size();
  EXPECT_TRUE(integration.SetAutostart(false));
  EXPECT_EQ(desktop.runValues, (std::map<std::wstring, std::wstring>{{L"Other", L"other.exe"}}));
  EXPECT_EQ(AutoBoot(), 0u);
  EXPECT_EQ(desktop.shortcuts.size(), shortcutsBefore);
  EXPECT_TRUE(desktop.copies.empty());
}

}  // namespace
}  // namespace pv::settings::test
