// Autostart and the help document on Wine: the Run key, a real .lnk read back
// through IShellLinkW, the copy of the program, and the embedded manuals.
#include <gtest/gtest.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "settings/core/desktop_integration.h"
#include "settings/win32/reg_keys.h"
#include "settings/win32/win32_desktop_platform.h"
#include "settings/win32/win32_work_folder_platform.h"
#include "tests/windows/settings/win32_test_support.h"

namespace pv::settings::test {
namespace {

// The real desktop, except that the drive type can be forced and documents
// are recorded instead of opened in a viewer.
class ObservedDesktop : public Win32DesktopPlatform {
 public:
  std::optional<unsigned> forcedDriveType;
  std::vector<std::wstring> opened;

  unsigned DriveType(const std::wstring& root) const override {
    return forcedDriveType ? *forcedDriveType : Win32DesktopPlatform::DriveType(root);
  }
  void OpenDocument(const std::wstring& path) override { opened.push_back(path); }
};

struct LinkInfo {
  std::wstring path, workingDirectory, description;
};

std::optional<LinkInfo> ReadLink(const std::wstring& file) {
  CoInitialize(nullptr);
  std::optional<LinkInfo> info;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
      if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
        wchar_t path[MAX_PATH] = {}, dir[MAX_PATH] = {}, description[MAX_PATH] = {};
        link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(dir, MAX_PATH);
        link->GetDescription(description, MAX_PATH);
        info = LinkInfo{path, dir, description};
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return info;
}

std::wstring ExpectedProductName() {
  wchar_t text[MAX_PATH] = {};
  const int length = LoadStringW(GetModuleHandleW(nullptr), IDS_PRODUCT_NAME, text, MAX_PATH);
  return length > 0 ? std::wstring(text, length) : std::wstring(kFallbackProductName);
}

std::vector<uint8_t> ResourceBytes(int id) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const HRSRC info = FindResourceW(self, MAKEINTRESOURCEW(id), L"HELP_PDF");
  if (!info) return {};
  const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(self, info)));
  return {bytes, bytes + SizeofResource(self, info)};
}

constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class DesktopWin32Test : public ::testing::Test {
 protected:
  DesktopWin32Test() { workFolder.EnsureWorkFolder(); }
  void SetUp() override {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Presenter_Vela");
    RegDeleteValueW(HKEY_CURRENT_USER, std::wstring(CRegKeys::GetKeyName(4)).c_str());
  }
  std::wstring LinkFile() const {
    return desktop.DesktopFolder().value_or(L"?") + L"\\" + ExpectedProductName() + L".lnk";
  }
  uint32_t AutoBoot() const {
    uint32_t v = 77;
    CRegKeys::ReadValue(4, v);
    return v;
  }

  ObservedDesktop desktop;
  Win32WorkFolderPlatform fs;
  WorkFolder workFolder{fs};
  DesktopIntegration integration{desktop, CRegKeys::Store(), workFolder};
};

TEST_F(DesktopWin32Test, HelpDocumentOfEachLanguageIsTheEmbeddedManual) {
  const std::wstring path = workFolder.GetWorkFolder() + L"\\Help_PresenterVela.pdf";
  for (const auto& [zh, id] : {std::pair{true, IDH_MANUAL_ZH}, std::pair{false, IDH_MANUAL_EN}}) {
    SCOPED_TRACE(id);
    const std::vector<uint8_t> embedded = ResourceBytes(id);
    ASSERT_GT(embedded.size(), 10000u) << "manual not embedded";
    EXPECT_EQ(std::string(embedded.begin(), embedded.begin() + 5), "%PDF-");
    ASSERT_TRUE(integration.OpenHelpDocument(zh));
    EXPECT_EQ(ReadWholeFile(path), embedded);
    ASSERT_FALSE(desktop.opened.empty());
    EXPECT_EQ(desktop.opened.back(), path);
  }
  EXPECT_NE(ResourceBytes(IDH_MANUAL_ZH), ResourceBytes(IDH_MANUAL_EN));
}

// A viewer shows the manual and keeps others from writing it (it allows
// reading, as viewers do). F1 then opens the same document as it is; the
// other language's manual cannot replace it, and nothing opens.
TEST_F(DesktopWin32Test, LockedHelpDocumentOpensOnlyWhenItIsTheSameDocument) {
  const std::wstring path = workFolder.GetWorkFolder() + L"\\Help_PresenterVela.pdf";
  ASSERT_TRUE(integration.OpenHelpDocument(false));
  desktop.opened.clear();
  HANDLE viewer = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(integration.OpenHelpDocument(false)) << "the identical document is opened";
  EXPECT_EQ(desktop.opened, std::vector<std::wstring>{path});
  EXPECT_FALSE(integration.OpenHelpDocument(true)) << "the other manual cannot be written";
  EXPECT_EQ(desktop.opened.size(), 1u);
  CloseHandle(viewer);
  EXPECT_EQ(ReadWholeFile(path), ResourceBytes(IDH_MANUAL_EN)) << "the shown document was left whole";
}

TEST_F(DesktopWin32Test, AutostartOnAFixedDriveRunsTheProgramAndLinksIt) {
  desktop.forcedDriveType = kDriveFixed;
  const std::wstring exe = desktop.ModuleFileName();
  DeleteFileW(LinkFile().c_str());
  ASSERT_TRUE(integration.SetAutostart(true));
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, L"Presenter_Vela"), L"\"" + exe + L"\"");
  EXPECT_EQ(AutoBoot(), 1u);
  const auto link = ReadLink(LinkFile());
  ASSERT_TRUE(link.has_value()) << "no shortcut on the desktop";
  EXPECT_EQ(link->path, exe);
  EXPECT_EQ(link->workingDirectory, exe.substr(0, exe.find_last_of(L'\\')));
  EXPECT_EQ(link->description, ExpectedProductName());
}

TEST_F(DesktopWin32Test, AutostartFromARemovableDriveRunsACopyInTheWorkFolder) {
  desktop.forcedDriveType = kDriveRemovable;
  const std::wstring copy = workFolder.GetWorkFolder() + L"\\PresenterVela_xp.exe";
  DeleteFileW(copy.c_str());
  ASSERT_TRUE(integration.SetAutostart(true));
  EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(desktop.ModuleFileName()));
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, L"Presenter_Vela"), L"\"" + copy + L"\"");
  EXPECT_EQ(AutoBoot(), 1u);
  const auto link = ReadLink(LinkFile());
  ASSERT_TRUE(link.has_value());
  EXPECT_EQ(link->path, copy);
  EXPECT_EQ(link->workingDirectory, workFolder.GetWorkFolder());
}

TEST_F(DesktopWin32Test, AutostartOffDeletesOnlyTheRunValue) {
  desktop.forcedDriveType = kDriveFixed;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"OtherTool", REG_SZ, L"x.exe", 12), ERROR_SUCCESS);
  ASSERT_TRUE(integration.SetAutostart(true));
  ASSERT_TRUE(integration.SetAutostart(false));
  EXPECT_FALSE(ReadString(HKEY_CURRENT_USER, kRunKey, L"Presenter_Vela").has_value());
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, L"OtherTool"), L"x.exe");
  EXPECT_EQ(AutoBoot(), 0u);
  EXPECT_TRUE(ReadLink(LinkFile()).has_value()) << "the shortcut stays";
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"OtherTool");
}

TEST_F(DesktopWin32Test, ProgramDriveIsFoundInTheRealDriveList) {
  EXPECT_EQ(integration.GetExeDriveType(L"C:\\windows\\notepad.exe"), static_cast<unsigned>(DRIVE_FIXED));
  EXPECT_EQ(integration.GetExeDriveType(L"\\\\server\\share\\PresenterVela.exe"), 0u);
}

TEST(ProgramResources, TheProgramCarriesTheCommittedManuals) {
  const HMODULE program = LoadLibraryExW(L"" PV_PROGRAM_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr) << "cannot open " << PV_PROGRAM_PATH;
  for (const auto& [id, file] : {std::pair{IDH_MANUAL_ZH, L"" PV_MANUALS_DIR "/manual_zh.pdf"},
                                 std::pair{IDH_MANUAL_EN, L"" PV_MANUALS_DIR "/manual_en.pdf"}}) {
    SCOPED_TRACE(id);
    Win32DesktopPlatform platform(program);
    const std::span<const uint8_t> embedded = platform.HelpDocument(id == IDH_MANUAL_ZH);
    const auto committed = ReadWholeFile(file);
    ASSERT_TRUE(committed.has_value());
    EXPECT_EQ(std::vector<uint8_t>(embedded.begin(), embedded.end()), *committed);
  }
  FreeLibrary(program);
}

}  // namespace
}  // namespace pv::settings::test
