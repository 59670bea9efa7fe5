#include "framework/win_app.h"

#include <gtest/gtest.h>

#include "framework/strings.h"
#include "tests/windows/framework/framework_test_ids.h"

namespace pv::framework::test {
namespace {

class CTestApp : public CWinApp {
 public:
  explicit CTestApp(bool startLoop) : m_startLoop(startLoop) {}
  int initCalls = 0, exitCalls = 0;

 protected:
  BOOL InitInstance() override {
    ++initCalls;
    if (m_startLoop) ::PostQuitMessage(5);
    return m_startLoop ? TRUE : FALSE;
  }
  int ExitInstance() override {
    ++exitCalls;
    return CWinApp::ExitInstance() + 100;
  }

 private:
  bool m_startLoop;
};

TEST(WinApp, InitFalseSkipsTheLoopAndExitGivesTheCode) {
  CTestApp app(false);
  EXPECT_EQ(app.Run(), 100);
  EXPECT_EQ(app.initCalls, 1);
  EXPECT_EQ(app.exitCalls, 1);
}

TEST(WinApp, InitTrueRunsTheLoopUntilQuitAndKeepsItsCode) {
  CTestApp app(true);
  EXPECT_EQ(app.Run(), 105);
  EXPECT_EQ(app.exitCalls, 1);
}

TEST(WinApp, TitleIsTheExecutableBaseName) {
  CTestApp app(false);
  EXPECT_EQ(app.GetAppTitle(), L"framework_win32_test");
  EXPECT_EQ(app.GetInstance(), ::GetModuleHandleW(nullptr));
}

TEST(Strings, LoadsStringResourcesOrNothing) {
  EXPECT_EQ(LoadResString(IDS_TEST_TEXT), L"The program is running");
  EXPECT_EQ(LoadResString(IDS_TEST_MISSING), L"");
}

}  // namespace
}  // namespace pv::framework::test
