#include "ui/mainwindow/core/page_mode.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

#include "ui/mainwindow/core/page_layout.h"
#include "ui/mainwindow/core/tray_tip.h"

namespace pv::mainwindow::test {
namespace {

TEST(PageForLink, OnlyAPresentReceiverWithALinkedRemoteGivesTheSettingsPage) {
  EXPECT_EQ(PageForLink(true, true), MODE_READY);
  EXPECT_EQ(PageForLink(true, false), MODE_NOT_READY);
  EXPECT_EQ(PageForLink(false, true), MODE_NOT_READY);
  EXPECT_EQ(PageForLink(false, false), MODE_NOT_READY);
}

struct RefreshCase {
  const char* what;
  RefreshType type;
  bool minimised;
  PageMode mode;
  bool present, rf;
  RefreshModeSteps expected;
};

void PrintTo(const RefreshCase& c, std::ostream* out) {
  *out << c.what;
}

class RefreshModeTest : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(RefreshModeTest, Plan) {
  const RefreshCase& c = GetParam();
  const RefreshModeSteps s = RefreshModePlan(c.type, c.minimised, c.mode, c.present, c.rf);
  EXPECT_EQ(s.newMode, c.expected.newMode) << c.what;
  EXPECT_EQ(s.applyLayout, c.expected.applyLayout) << c.what;
  EXPECT_EQ(s.invalidate, c.expected.invalidate) << c.what;
  EXPECT_EQ(s.hideToTray, c.expected.hideToTray) << c.what;
}

INSTANTIATE_TEST_SUITE_P(LinkEvents, RefreshModeTest,
                         ::testing::Values(
                             // Shown window, remote links: the page switches in place.
                             RefreshCase{"shown, page changes",
                                         RefreshType::kInPlace,
                                         false,
                                         MODE_NOT_READY,
                                         true,
                                         true,
                                         {MODE_READY, true, true, false}},
                             // Shown window, nothing changes: nothing happens.
                             RefreshCase{"shown, same page",
                                         RefreshType::kInPlace,
                                         false,
                                         MODE_READY,
                                         true,
                                         true,
                                         {MODE_READY, false, false, false}},
                             // Minimised: laid out for the new page, then straight back to the tray.
                             RefreshCase{"minimised",
                                         RefreshType::kInPlace,
                                         true,
                                         MODE_READY,
                                         true,
                                         false,
                                         {MODE_NOT_READY, true, false, true}},
                             // During an effect: relayout and back to the tray.
                             RefreshCase{"effect",
                                         RefreshType::kInPlace,
                                         false,
                                         MODE_EFFECT,
                                         false,
                                         false,
                                         {MODE_NOT_READY, true, false, true}},
                             // Type 2 (radio up) hides even when nothing changed.
                             RefreshCase{"type 2 unchanged",
                                         RefreshType::kToTray,
                                         false,
                                         MODE_READY,
                                         true,
                                         true,
                                         {MODE_READY, false, false, true}},
                             RefreshCase{"type 2 changed",
                                         RefreshType::kToTray,
                                         false,
                                         MODE_START,
                                         true,
                                         true,
                                         {MODE_READY, true, false, true}},
                             // The first link event leaves the start mode.
                             RefreshCase{"from start",
                                         RefreshType::kInPlace,
                                         false,
                                         MODE_START,
                                         false,
                                         false,
                                         {MODE_NOT_READY, true, true, false}}),
                         [](const ::testing::TestParamInfo<RefreshCase>& info) {
                           std::string name = info.param.what;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

struct TipCase {
  bool present, rf;
  const wchar_t* expected;
  TrayIcon icon;
};

TEST(TrayTip, FollowsTheThreeLinkStates) {
  const TipCase cases[] = {
      {false, false, L"Presenter Vela\n(No Dongle)", TrayIcon::Unlinked},
      {false, true, L"Presenter Vela\n(No Dongle)", TrayIcon::Unlinked},
      {true, false, L"Presenter Vela\n( RF Disconnect)", TrayIcon::Unlinked},
      {true, true, L"Presenter Vela", TrayIcon::Linked},
  };
  for (const TipCase& c : cases) {
    EXPECT_EQ(BuildTrayTip(L"Presenter Vela", L"(No Dongle)", L"( RF Disconnect)", c.present, c.rf),
              c.expected);
    EXPECT_EQ(TrayIconFor(c.present, c.rf), c.icon);
  }
}

TEST(TrayTip, EmptyReasonAddsNoLineBreakAndLongTextsAreCutToTheField) {
  EXPECT_EQ(BuildTrayTip(L"Vela", L"", L"", false, false), L"Vela");
  const std::wstring tip = BuildTrayTip(std::wstring(100, L'a'), std::wstring(100, L'b'), L"", false, false);
  EXPECT_EQ(tip.size(), kTrayTipCapacity - 1);
  EXPECT_EQ(tip.substr(0, 101), std::wstring(100, L'a') + L"\n");
}

TEST(PageLayout, LinksExistOnlyOnTheirPages) {
  EXPECT_EQ(HelpLinkRect(MODE_READY), (PixelRect{556, 126, 606, 150}));
  EXPECT_EQ(HelpLinkRect(MODE_NOT_READY), (PixelRect{43, 326, 163, 370}));
  EXPECT_TRUE(HelpLinkRect(MODE_EFFECT).Empty());
  EXPECT_TRUE(UpdateLinkRect(MODE_NOT_READY).Empty());
  // Edges: left/top inside, right/bottom outside.
  EXPECT_TRUE(kUpdateLink.Contains(550, 82));
  EXPECT_FALSE(kUpdateLink.Contains(605, 90));
  EXPECT_FALSE(kUpdateLink.Contains(560, 106));
}

TEST(PageLayout, BatterySymbolSitsTenPixelsInFromTheTopRight) {
  // A 463-pixel template client area puts the 40 x 27 symbol at (413, 10).
  EXPECT_EQ(BatteryRect(463, 40, 27), (PixelRect{413, 10, 453, 37}));
}

TEST(PageLayout, CentringUsesIntegerHalves) {
  EXPECT_EQ(CentredAt({960, 540}, 621, 462), (PixelPoint{650, 309}));
  EXPECT_EQ(CentredAt({683, 384}, 596, 445), (PixelPoint{385, 162}));
}

}  // namespace
}  // namespace pv::mainwindow::test
