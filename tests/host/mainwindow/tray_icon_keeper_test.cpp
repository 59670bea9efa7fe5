// The tray icon kept in the notification area by a fake shell that is not
// ready at first (logon), loses its icons (a shell restart), and a fake
// one-shot timer the test moves through time.
#include "ui/mainwindow/core/tray_icon_keeper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace pv::mainwindow::test {
namespace {

// The notification area as the shell keeps it: an add fails while the
// shell is not ready or the icon exists; a modify fails without the icon.
class FakeShell : public TrayShell {
 public:
  bool AddIcon() override {
    calls.push_back("add");
    if (failAdds > 0) {
      --failAdds;
      if (addTimesOutButLands) icon = tooltip;
      return false;
    }
    if (icon) return false;
    icon = tooltip;
    return true;
  }
  bool ModifyIcon() override {
    calls.push_back("modify");
    if (!icon) return false;
    icon = tooltip;
    return true;
  }
  void DeleteIcon() override {
    calls.push_back("delete");
    icon.reset();
  }
  void StartRetryTimer(unsigned ms) override { dueInMs = ms; }
  void StopRetryTimer() override { dueInMs.reset(); }

  // Lets time pass, delivering the retries that fall due; the delays seen.
  std::vector<unsigned> RunRetries(TrayIconKeeper& keeper, int maxTicks) {
    std::vector<unsigned> delays;
    for (int i = 0; i < maxTicks && dueInMs; ++i) {
      delays.push_back(*dueInMs);
      dueInMs.reset();
      keeper.OnRetryTimer();
    }
    return delays;
  }

  int failAdds = 0;
  bool addTimesOutButLands = false;
  std::string tooltip = "Presenter Vela\n(No Dongle)";
  std::optional<std::string> icon;  // the icon's tooltip, when the icon is there
  std::optional<unsigned> dueInMs;
  std::vector<std::string> calls;
};

class TrayIconKeeperTest : public ::testing::Test {
 protected:
  FakeShell shell;
  TrayIconKeeper keeper{shell};
};

TEST_F(TrayIconKeeperTest, AddsAtOnceWhenTheShellIsReady) {
  keeper.Add();
  EXPECT_EQ(shell.icon, "Presenter Vela\n(No Dongle)");
  EXPECT_TRUE(keeper.Shown());
  EXPECT_FALSE(shell.dueInMs);
}

TEST_F(TrayIconKeeperTest, AtLogonAddsThatFailRetryWithABoundedBackOffUntilOneSucceeds) {
  shell.failAdds = 9;
  keeper.Add();
  EXPECT_FALSE(shell.icon);
  EXPECT_TRUE(keeper.Retrying());
  // Meanwhile the link came up: the icon that lands shows the new tooltip.
  shell.tooltip = "Presenter Vela";
  keeper.Update();
  const std::vector<unsigned> delays = shell.RunRetries(keeper, 50);
  EXPECT_EQ(delays, (std::vector<unsigned>{500, 1000, 2000, 4000, 8000, 8000, 8000, 8000, 8000}));
  EXPECT_EQ(shell.icon, "Presenter Vela");
  EXPECT_TRUE(keeper.Shown());
  EXPECT_FALSE(keeper.Retrying());
  EXPECT_FALSE(shell.dueInMs) << "no retry after the icon is there";
}

TEST_F(TrayIconKeeperTest, KeepsRetryingForAsLongAsTheProgramRuns) {
  shell.failAdds = 1000;
  keeper.Add();
  const std::vector<unsigned> delays = shell.RunRetries(keeper, 200);
  EXPECT_EQ(delays.size(), 200u);
  EXPECT_EQ(delays.back(), kTrayRetryLongestMs);
  EXPECT_TRUE(shell.dueInMs);
  keeper.Remove();  // the program ends: no more retries, nothing to delete
  EXPECT_FALSE(shell.dueInMs);
  EXPECT_EQ(std::count(shell.calls.begin(), shell.calls.end(), "delete"), 0);
}

TEST_F(TrayIconKeeperTest, AnAddThatTimedOutButLandedIsFoundByAModify) {
  shell.failAdds = 1;
  shell.addTimesOutButLands = true;
  keeper.Add();
  EXPECT_TRUE(keeper.Shown());
  EXPECT_FALSE(keeper.Retrying());
}

TEST_F(TrayIconKeeperTest, AFailedModifyFallsBackToAnAdd) {
  keeper.Add();
  shell.icon.reset();  // the shell lost the icon without telling us
  shell.tooltip = "Presenter Vela\n( RF Disconnect)";
  keeper.Update();
  EXPECT_EQ(shell.icon, "Presenter Vela\n( RF Disconnect)");
  EXPECT_TRUE(keeper.Shown());
  // And when that add fails too, it is retried.
  shell.icon.reset();
  shell.failAdds = 2;
  keeper.Update();
  EXPECT_TRUE(keeper.Retrying());
  shell.RunRetries(keeper, 10);
  EXPECT_TRUE(shell.icon);
}

TEST_F(TrayIconKeeperTest, AShellRestartAddsAgainAndRestartsTheBackOff) {
  shell.failAdds = 4;
  keeper.Add();
  shell.RunRetries(keeper, 2);  // 500, 1000: still failing
  ASSERT_EQ(shell.dueInMs, 2000u);
  shell.icon.reset();
  keeper.Add();  // "TaskbarCreated", and this add fails too
  EXPECT_EQ(shell.dueInMs, 500u);
  shell.RunRetries(keeper, 10);
  EXPECT_TRUE(shell.icon);
}

TEST_F(TrayIconKeeperTest, RemoveDeletesAShownIconAndALateTickAddsNothing) {
  keeper.Add();
  keeper.Remove();
  EXPECT_FALSE(shell.icon);
  keeper.OnRetryTimer();
  EXPECT_FALSE(shell.icon);
}

}  // namespace
}  // namespace pv::mainwindow::test
