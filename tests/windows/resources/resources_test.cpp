// Checks the resources carried by the built PresenterVela.exe, whose path is
// the first non-option argument of this test program.
#include <windows.h>
// windows.h first: the headers below build on it.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "pv_version.h"
#include "resources/resource_ids.h"
#include "tests/windows/resources/exe_resources.h"

namespace pv::resources::test {
namespace {

std::wstring ExePath() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring path;
  for (int i = 1; i < argc && argv != nullptr; ++i) {
    if (std::wstring_view(argv[i]).substr(0, 2) != L"--") {
      path = argv[i];
      break;
    }
  }
  LocalFree(argv);
  return path;
}

class ExeResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { exe_ = std::make_unique<ExeResources>(ExePath()); }
  static void TearDownTestSuite() { exe_.reset(); }
  void SetUp() override { ASSERT_TRUE(exe_->Loaded()) << "pass the path of PresenterVela.exe"; }
  static std::unique_ptr<ExeResources> exe_;
};
std::unique_ptr<ExeResources> ExeResourcesTest::exe_;

uint32_t BigEndian32(std::string_view bytes, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

template <typename T>
T Little(std::string_view bytes, size_t at) {
  T value{};
  std::memcpy(&value, bytes.data() + at, sizeof(T));
  return value;
}

TEST_F(ExeResourcesTest, EveryPictureIsAnRgbaPngOfItsExactSize) {
  struct Picture {
    WORD id;
    uint32_t width, height;
  };
  const Picture pictures[] = {
      {IDP_LOW_BATTERY, 40, 27},         {IDP_SWITCH_OFF, 45, 16},          {IDP_SWITCH_ON, 45, 16},
      {IDP_POINTER_TOGGLE_OFF, 32, 32},  {IDP_SETTINGS_PAGE_ZH, 621, 462},  {IDP_SETTINGS_PAGE_EN, 621, 462},
      {IDP_NOT_READY_PAGE_ZH, 596, 446}, {IDP_NOT_READY_PAGE_EN, 596, 445}, {IDP_POINTER_TOGGLE_ON, 32, 32},
      {IDP_SPLASH_ZH, 568, 436},         {IDP_SPLASH_EN, 568, 436},         {IDP_POINTER_ARROW, 18, 24},
      {IDP_SLIDER_THUMB, 30, 18},        {IDP_CHANNEL_FILLED, 250, 18},     {IDP_CHANNEL_EMPTY, 250, 18},
      {IDP_HUE_SPECTRUM, 250, 18},       {IDP_GREY_CHANNEL, 261, 18},
  };
  for (const Picture& p : pictures) {
    SCOPED_TRACE(p.id);
    // The code finds pictures without naming a language.
    HRSRC info = FindResourceW(exe_->Module(), MAKEINTRESOURCEW(p.id), L"PNG");
    ASSERT_NE(info, nullptr);
    auto png = exe_->Bytes(L"PNG", p.id, kNeutral);
    ASSERT_TRUE(png.has_value());
    ASSERT_GT(png->size(), 33u);
    EXPECT_EQ(png->substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png->substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(*png, 16), p.width);
    EXPECT_EQ(BigEndian32(*png, 20), p.height);
    EXPECT_EQ((*png)[24], 8) << "bit depth";
    EXPECT_EQ((*png)[25], 6) << "colour type RGBA";
  }
}

struct Text {
  WORD id;
  const wchar_t* english;
  const wchar_t* chinese;
};

const Text kTexts[] = {
    {IDS_TIP_PRODUCT, L"Presenter Vela", L"翻页笔Vela"},
    {IDS_TIP_NO_RECEIVER, L"(No Dongle)", L"(请插入接收器)"},
    {IDS_TIP_RF_DOWN, L"( RF Disconnect)", L"(请打开投影笔电源)"},
    {IDS_ANTILOST_NOTICE, L"Anti-lost function is valid only when speaker is open.",
     L"防丢功能仅在扬声器打开状态下才有效"},
    {IDS_PRODUCT_NAME, L"Presenter Vela", L"翻页笔Vela"},
    {IDS_UPDATE_QUESTION,
     L"There is a new version of the software. Do you want to update it?\r\n\r\nAfter downloading through "
     L"IE, you "
     L"need to manually override \r\nthe previous program manually before use.",
     L"有更新的版本软件，需要升级吗？\r\n\r\n选择浏览器下载后，需要覆盖以前的程序。"},
    {IDS_LATEST_VERSION, L"It is the latest version.", L"当前已是最新版本软件"},
    {IDS_ALREADY_RUNNING, L"The program is running", L"此程序已经运行。"},
};

TEST_F(ExeResourcesTest, StringTablesCarryTheExactTextsInBothLanguages) {
  for (const Text& t : kTexts) {
    SCOPED_TRACE(t.id);
    EXPECT_EQ(exe_->String(t.id, kEnglish), std::optional<std::wstring>(t.english));
    EXPECT_EQ(exe_->String(t.id, kChinese), std::optional<std::wstring>(t.chinese));
  }
}

TEST_F(ExeResourcesTest, PlatformLoaderFindsTheEnglishTableForAnEnglishUser) {
  // The test session runs with an English (United States) UI language; the
  // table is stored as language-neutral English so every English variant finds it.
  wchar_t text[64] = {};
  ASSERT_GT(LoadStringW(exe_->Module(), IDS_PRODUCT_NAME, text, 64), 0);
  EXPECT_STREQ(text, L"Presenter Vela");
  ASSERT_GT(LoadStringW(exe_->Module(), IDS_TIP_NO_RECEIVER, text, 64), 0);
  EXPECT_STREQ(text, L"(No Dongle)");
}

TEST_F(ExeResourcesTest, EveryIdOfTheStringRangeHasATextInBothLanguages) {
  for (WORD id = 160; id <= 170; ++id) {
    SCOPED_TRACE(id);
    auto en = exe_->String(id, kEnglish);
    auto zh = exe_->String(id, kChinese);
    ASSERT_TRUE(en.has_value());
    ASSERT_TRUE(zh.has_value());
    EXPECT_FALSE(en->empty());
    if (id != IDS_PRODUCT_NAME && id != IDS_TIP_PRODUCT) {
      EXPECT_NE(*en, *zh) << "English text left in the Chinese table";
    }
  }
}

struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

TEST_F(ExeResourcesTest, TrayMenuHasLaunchSeparatorAndQuitInBothLanguages) {
  struct Case {
    LANGID lang;
    const wchar_t* launch;
    const wchar_t* quit;
  };
  for (const Case& c :
       {Case{kEnglish, L"Launch Presenter Vela", L"Quit"}, Case{kChinese, L"打开翻页笔Vela", L"退出"}}) {
    SCOPED_TRACE(c.lang);
    auto bytes = exe_->Bytes(RT_MENU, IDM_TRAY, c.lang);
    ASSERT_TRUE(bytes.has_value());
    MenuHandle menu(LoadMenuIndirectW(bytes->data()));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu.get(), 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    wchar_t text[64] = {};
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_TRAY_LAUNCH));
    GetMenuStringW(popup, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, c.launch);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(popup, 1, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(IDM_TRAY_QUIT));
    GetMenuStringW(popup, 2, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, c.quit);
  }
}

TEST_F(ExeResourcesTest, AlarmsAreMonoSixteenBitPcmOfTheirRateAndLength) {
  struct Alarm {
    WORD id;
    uint32_t rate;
    double seconds;
  };
  for (const Alarm& a : {Alarm{IDW_ALARM_ZH, 16000, 4.8}, Alarm{IDW_ALARM_EN, 22050, 5.2}}) {
    SCOPED_TRACE(a.id);
    ASSERT_NE(FindResourceW(exe_->Module(), MAKEINTRESOURCEW(a.id), L"WAVE"), nullptr);
    auto wav = exe_->Bytes(L"WAVE", a.id, kNeutral);
    ASSERT_TRUE(wav.has_value());
    ASSERT_GE(wav->size(), 44u);
    ASSERT_EQ(wav->substr(0, 4), "RIFF");
    ASSERT_EQ(wav->substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Little<uint16_t>(*wav, 20), 1) << "PCM";
    EXPECT_EQ(Little<uint16_t>(*wav, 22), 1) << "mono";
    EXPECT_EQ(Little<uint32_t>(*wav, 24), a.rate);
    EXPECT_EQ(Little<uint16_t>(*wav, 34), 16);
    ASSERT_EQ(wav->substr(36, 4), "data");
    const uint32_t dataBytes = Little<uint32_t>(*wav, 40);
    ASSERT_LE(44u + dataBytes, wav->size());
    EXPECT_NEAR(dataBytes / 2.0 / a.rate, a.seconds, 0.05);
    int peak = 0;
    for (uint32_t i = 0; i < dataBytes / 2; ++i) {
      const int sample = Little<int16_t>(*wav, 44 + i * 2);
      peak = std::max(peak, sample < 0 ? -sample : sample);
    }
    EXPECT_GT(peak, 26000) << "loud";
    EXPECT_LT(peak, 32767) << "not clipped";
  }
}

TEST_F(ExeResourcesTest, IconsHoldFiveSizesOfThirtyTwoBitImages) {
  for (WORD id : {WORD{IDI_APP}, WORD{IDI_TRAY_LINKED}, WORD{IDI_TRAY_UNLINKED}}) {
    SCOPED_TRACE(id);
    auto group = exe_->Bytes(RT_GROUP_ICON, id, kNeutral);
    ASSERT_TRUE(group.has_value());
    const uint16_t count = Little<uint16_t>(*group, 4);
    ASSERT_EQ(count, 5);
    ASSERT_GE(group->size(), 6u + 14u * count);
    std::vector<int> sizes;
    for (uint16_t i = 0; i < count; ++i) {
      const size_t entry = 6 + 14 * i;
      const int width = static_cast<unsigned char>((*group)[entry]);
      sizes.push_back(width == 0 ? 256 : width);
      EXPECT_EQ(Little<uint16_t>(*group, entry + 6), 32) << "bits per pixel";
      EXPECT_TRUE(exe_->Bytes(RT_ICON, Little<uint16_t>(*group, entry + 12), kNeutral).has_value());
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 256}));
    // The tray asks for the 32-pixel image; it must make a real icon.
    const int icon = LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(const_cast<char*>(group->data())),
                                                 TRUE, 32, 32, LR_DEFAULTCOLOR);
    auto image = exe_->Bytes(RT_ICON, static_cast<WORD>(icon), kNeutral);
    ASSERT_TRUE(image.has_value());
    HICON handle = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(const_cast<char*>(image->data())),
                                            static_cast<DWORD>(image->size()), TRUE, 0x00030000, 32, 32, 0);
    EXPECT_NE(handle, nullptr);
    if (handle != nullptr) DestroyIcon(handle);
  }
}

TEST_F(ExeResourcesTest, ManifestAsksForCommonControlsSixAndPerMonitorV2Awareness) {
  ASSERT_EQ(exe_->Count(RT_MANIFEST), 1) << "exactly one application manifest";
  auto manifest = exe_->Bytes(RT_MANIFEST, 1, kNeutral);
  ASSERT_TRUE(manifest.has_value());
  for (const char* needle :
       {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", ">PerMonitorV2", ">true/pm<",
        "level=\"asInvoker\"", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_NE(manifest->find(needle), std::string_view::npos) << needle;
  }
}

TEST_F(ExeResourcesTest, MainWindowTemplateIsABorderlessPopupWithItsFiveControls) {
  auto bytes = exe_->Bytes(RT_DIALOG, IDD_MAIN, kNeutral);
  ASSERT_TRUE(bytes.has_value());
  auto dialog = ParseDialogEx(*bytes);
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->style & (WS_POPUP | WS_VISIBLE | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS),
            static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS));
  EXPECT_EQ(dialog->style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0u);
  EXPECT_EQ(dialog->cx, 309);
  EXPECT_EQ(dialog->cy, 176);
  EXPECT_EQ(dialog->font, L"MS Shell Dlg");
  EXPECT_EQ(dialog->pointSize, 8);
  ASSERT_EQ(dialog->items.size(), 5u);
  const DWORD order[] = {IDC_SLIDER_BRIGHTNESS, IDC_TIMER_EDIT, IDC_VERSION_TEXT, IDC_SLIDER_POINTER_SPEED,
                         IDC_SLIDER_CIRCLE_COLOR};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(dialog->items[i].id, order[i]);
  for (size_t i : {0u, 3u, 4u}) {
    EXPECT_EQ(_wcsicmp(dialog->items[i].className.c_str(), TRACKBAR_CLASSW), 0) << "class names ignore case";
    EXPECT_EQ(dialog->items[i].style & (TBS_VERT | TBS_NOTICKS), static_cast<DWORD>(TBS_NOTICKS));
  }
  const DialogItem& edit = dialog->items[1];
  EXPECT_EQ(_wcsicmp(edit.className.c_str(), L"Edit"), 0);
  EXPECT_EQ(edit.style & (ES_NUMBER | ES_CENTER | WS_VISIBLE | WS_CHILD),
            static_cast<DWORD>(ES_NUMBER | ES_CENTER | WS_CHILD));
  EXPECT_EQ(edit.exStyle & (WS_EX_STATICEDGE | WS_EX_TRANSPARENT),
            static_cast<DWORD>(WS_EX_STATICEDGE | WS_EX_TRANSPARENT));
  EXPECT_EQ((std::vector<short>{edit.x, edit.y, edit.cx, edit.cy}), (std::vector<short>{253, 131, 27, 12}));
  const DialogItem& version = dialog->items[2];
  EXPECT_EQ(version.title, L"V1.0.0.1");
  EXPECT_EQ(version.style & WS_VISIBLE, 0u);
  EXPECT_TRUE(version.exStyle & WS_EX_TRANSPARENT);
}

TEST_F(ExeResourcesTest, SplashAndUpdateTemplatesMatchTheirWindows) {
  auto splash = ParseDialogEx(exe_->Bytes(RT_DIALOG, IDD_SPLASH, kNeutral).value_or(""));
  ASSERT_TRUE(splash.has_value());
  EXPECT_TRUE(splash->items.empty());
  EXPECT_EQ(splash->style & (WS_POPUP | WS_SYSMENU | WS_CAPTION), static_cast<DWORD>(WS_POPUP | WS_SYSMENU));
  EXPECT_EQ(splash->title, L"");

  auto update = ParseDialogEx(exe_->Bytes(RT_DIALOG, IDD_UPDATE, kNeutral).value_or(""));
  ASSERT_TRUE(update.has_value());
  EXPECT_EQ(update->title, L"Update");
  EXPECT_EQ(update->cx, 312);
  EXPECT_EQ(update->cy, 123);
  EXPECT_EQ(update->pointSize, 9);
  EXPECT_EQ(update->style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  ASSERT_EQ(update->items.size(), 4u);
  EXPECT_EQ(update->items[0].id, static_cast<DWORD>(IDCANCEL));
  EXPECT_EQ(update->items[0].title, L"Cancel");
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(update->items[i].id, static_cast<DWORD>(IDC_UPDATE_STATUS + i - 1));
    EXPECT_EQ(update->items[i].title, L" ");
  }
}

TEST_F(ExeResourcesTest, VersionInformationFollowsTheProjectVersion) {
  const std::wstring path = ExePath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(PV_VERSION_MINOR, PV_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwProductVersionLS, static_cast<DWORD>(MAKELONG(PV_VERSION_TWEAK, PV_VERSION_PATCH)));
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
  for (auto [key, expected] :
       {std::pair{L"ProductName", L"Presenter Vela"}, std::pair{L"CompanyName", L"Korvel"},
        std::pair{L"ProductVersion", PV_VERSION_WTEXT}}) {
    wchar_t* value = nullptr;
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    ASSERT_TRUE(VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
    EXPECT_STREQ(value, expected);
  }
}

}  // namespace
}  // namespace pv::resources::test
