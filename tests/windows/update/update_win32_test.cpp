// The update's Win32 glue under Wine: the version string of the built
// program, and the question box's button texts from the thread-local hook.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "update/core/update_flow.h"
#include "update/core/update_texts.h"
#include "update/win32/question_box.h"
#include "update/win32/version_string.h"

namespace pv::update::test {

using namespace pv::update::win32;

namespace {

TEST(VersionString, OfTheBuiltProgramAndOfAFileWithoutVersion) {
  std::wstring version = L"stale";
  ASSERT_TRUE(GetVersionString(PV_PROGRAM_PATH, version));
  EXPECT_EQ(version, PV_PROGRAM_VERSION);

  version = L"stale";
  EXPECT_FALSE(GetVersionString(L"C:\\no\\such\\file.exe", version));
  EXPECT_EQ(version, L"");
}

TEST(WaitCursor, BusyWhileTheCheckRunsAndRestoredBeforeABox) {
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  ::SetCursor(arrow);
  {
    CWaitCursor busy;
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));
    busy.Restore();  // what the check does before it shows a box
    EXPECT_EQ(::GetCursor(), arrow);
    ::SetCursor(::LoadCursorW(nullptr, IDC_CROSS));  // a box changed it: leaving must not undo that
  }
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_CROSS));
  { CWaitCursor busy; }
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_CROSS));
}

// Looks for a visible dialog box with that caption on another thread, reads
// the texts of the given buttons and presses one of them.
struct BoxReader {
  BoxReader(std::wstring boxCaption, int button) : caption(std::move(boxCaption)), press(button) {}
  std::wstring caption;
  int press;
  std::wstring yes, no, cancel, ok;
  bool found = false;
  bool buttonsFitTheirTexts = true;
  bool buttonsInsideTheBox = true;
  std::wstring layout;

  void Run() {
    for (int i = 0; i < 500 && !found; ++i) {
      HWND box = ::FindWindowW(L"#32770", caption.c_str());
      if (box != nullptr && ::IsWindowVisible(box)) {
        found = true;
        // The box turns visible just before the hook sees it activated.
        for (int wait = 0; wait < 100 && Text(box, IDYES) == L"&Yes"; ++wait) ::Sleep(10);
        ::Sleep(100);
        yes = Text(box, IDYES);
        no = Text(box, IDNO);
        cancel = Text(box, IDCANCEL);
        ok = Text(box, IDOK);
        RECT client{};
        ::GetClientRect(box, &client);
        for (int id : {IDYES, IDNO, IDCANCEL}) {
          HWND button = ::GetDlgItem(box, id);
          if (button == nullptr) continue;
          RECT r{};
          ::GetWindowRect(button, &r);
          ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
          if (r.left < 0 || r.right > client.right) buttonsInsideTheBox = false;
          if (r.right - r.left < TextWidth(button, Text(box, id))) buttonsFitTheirTexts = false;
          layout += std::to_wstring(id) + L":" + std::to_wstring(r.left) + L"-" + std::to_wstring(r.right) +
                    L" text " + std::to_wstring(TextWidth(button, Text(box, id))) + L"; ";
        }
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), 0);
        return;
      }
      ::Sleep(10);
    }
  }
  static int TextWidth(HWND button, const std::wstring& text) {
    HDC dc = ::GetDC(button);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(button, dc);
    return size.cx;
  }
  static std::wstring Text(HWND box, int id) {
    wchar_t text[64] = L"";
    ::GetDlgItemTextW(box, id, text, 64);
    return text;
  }
};

TEST(QuestionBox, ShowsTheProgramsButtonTextsInEitherLanguage) {
  for (bool chinese : {false, true}) {
    CWaitCursor busy;
    CCheckUi ui(nullptr, chinese, busy);
    BoxReader reader{L"Presenter Vela", IDNO};
    std::thread watcher([&] { reader.Run(); });
    const int answer = ui.AskToUpdate();
    watcher.join();
    ASSERT_TRUE(reader.found) << chinese;
    EXPECT_EQ(answer, IDNO);
    const QuestionButtons expected = QuestionButtonTexts(chinese);
    EXPECT_EQ(reader.yes, expected.yes);
    EXPECT_EQ(reader.no, expected.no);
    EXPECT_EQ(reader.cancel, expected.cancel);
    EXPECT_TRUE(reader.buttonsFitTheirTexts)
        << chinese << " "
        << std::string(reader.layout.begin(), reader.layout.end());  // "&Download by IE" is not cut off
    EXPECT_TRUE(reader.buttonsInsideTheBox) << chinese;
  }
}

// Shows a Yes/No/Cancel box of this thread and reads its buttons' texts.
BoxReader YesNoCancelBox(const wchar_t* caption) {
  BoxReader reader{caption, IDCANCEL};
  std::thread watcher([&] { reader.Run(); });
  ::MessageBoxW(nullptr, L"Yes, no or cancel?", caption, MB_YESNOCANCEL);
  watcher.join();
  return reader;
}

TEST(QuestionBox, TheHookIsGoneAfterTheQuestion) {
  // The platform's own texts, from a box shown before any question.
  const BoxReader before = YesNoCancelBox(L"PV box before");
  ASSERT_TRUE(before.found);

  CWaitCursor busy;
  CCheckUi ui(nullptr, false, busy);
  BoxReader question{L"Presenter Vela", IDCANCEL};
  std::thread first([&] { question.Run(); });
  EXPECT_EQ(ui.AskToUpdate(), IDCANCEL);
  first.join();
  ASSERT_EQ(question.yes, QuestionButtonTexts(false).yes);

  // The next box of the thread with the same buttons keeps the platform's texts.
  const BoxReader after = YesNoCancelBox(L"PV box after");
  ASSERT_TRUE(after.found);
  EXPECT_EQ(after.yes, before.yes);
  EXPECT_EQ(after.no, before.no);
  EXPECT_EQ(after.cancel, before.cancel);
  EXPECT_NE(after.yes, question.yes);
}

}  // namespace
}  // namespace pv::update::test
