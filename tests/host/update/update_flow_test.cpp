// The check and the download flow over recording fakes of the server, the
// messages and the dialog.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "update/core/update_flow.h"
#include "update/core/update_texts.h"

namespace pv::update {
namespace {

constexpr wchar_t kBase[] = L"https://u.example.com/Presenter/Vela/Normal/Windowsxp/";
constexpr wchar_t kWork[] = L"C:\\Users\\Ann\\Presenter_Vela";

class FakeFileSystem : public settings::IWorkFolderPlatform {
 public:
  std::optional<std::wstring> UserProfile() const override { return L"C:\\Users\\Ann"; }
  Entry Probe(const std::wstring&) const override { return Entry::kDirectory; }
  bool CreateFolder(const std::wstring&) override { return true; }
};

class FakeServer : public IUpdateServer {
 public:
  bool sessionOpens = true;
  FetchStatus textStatus = FetchStatus::kOk;
  std::wstring iniText = L"Version=1.0.1.0\r\n";
  std::map<std::wstring, FetchStatus> fileStatus;  // by file name; kOk when absent
  std::vector<std::wstring> log;
  bool sessionOpen = false;

  bool OpenSession() override {
    log.push_back(L"open");
    sessionOpen = sessionOpens;
    return sessionOpens;
  }
  void CloseSession() override {
    log.push_back(L"close");
    sessionOpen = false;
  }
  FetchStatus FetchText(const std::wstring& url, std::wstring& text) override {
    log.push_back(L"text " + url);
    text = iniText;
    return textStatus;
  }
  FetchStatus FetchFile(const std::wstring& url, const std::wstring& path, const std::atomic<bool>&,
                        const std::function<void(int)>& progress) override {
    log.push_back(L"file " + url + L" -> " + path);
    progress(1024);
    const std::wstring name = url.substr(url.find_last_of(L'/') + 1);
    const auto it = fileStatus.find(name);
    return it == fileStatus.end() ? FetchStatus::kOk : it->second;
  }
};

class RecordingUi : public ICheckUi {
 public:
  std::vector<CheckMessage> messages;
  int asked = 0;
  int answer = kAnswerUpdate;
  bool sessionOpenWhileAsking = false;
  FakeServer* server = nullptr;
  void ShowMessage(CheckMessage message) override { messages.push_back(message); }
  int AskToUpdate() override {
    ++asked;
    sessionOpenWhileAsking = server->sessionOpen;
    return answer;
  }
};

struct CheckTest : ::testing::Test {
  FakeFileSystem fs;
  settings::WorkFolder work{fs};
  DownloadFolder folder{work, fs, L"D:\\Tools\\PresenterVela.exe"};
  FakeServer server;
  RecordingUi ui;
  std::vector<std::wstring> urlFiles;
  std::wstring localVersion = L"1.0.0.9";

  void SetUp() override {
    work.EnsureWorkFolder();
    ui.server = &server;
  }
  int Check() {
    return CheckForUpdate(
        {server, ui, folder, [&](const std::wstring& f) { urlFiles.push_back(f); }, localVersion}, kBase);
  }
};

TEST_F(CheckTest, ANewerVersionAsksAndReturnsTheAnswer) {
  for (int answer : {kAnswerUpdate, kAnswerNothing, kAnswerBrowser}) {
    ui.answer = answer;
    EXPECT_EQ(Check(), answer);
  }
  EXPECT_EQ(ui.asked, 3);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(ui.sessionOpenWhileAsking);  // the session is closed before the box shows
  EXPECT_EQ(server.log[1], std::wstring(L"text ") + kBase + L"update.ini");
  EXPECT_EQ(urlFiles.front(), kWork);
}

TEST_F(CheckTest, NoNewerVersionSaysSoOnlyThen) {
  for (const wchar_t* local : {L"1.0.1.0", L"1.0.1.1", L"2.0.0.0"}) {
    localVersion = local;
    ui.messages.clear();
    EXPECT_EQ(Check(), kAnswerNone);
    EXPECT_EQ(ui.messages, std::vector<CheckMessage>{CheckMessage::kLatestVersion});
  }
  EXPECT_EQ(ui.asked, 0);
}

TEST_F(CheckTest, AFailedCheckIsReportedAsAFailureNotAsTheLatestVersion) {
  using M = CheckMessage;
  const struct {
    const char* what;
    bool sessionOpens;
    FetchStatus status;
    std::wstring ini;
    std::vector<M> messages;
  } cases[] = {
      {"no session", false, FetchStatus::kOk, L"Version=9.0.0.0", {M::kCannotConnect, M::kCheckFailed}},
      {"server unreachable", true, FetchStatus::kCannotConnect, L"", {M::kCannotConnect, M::kCheckFailed}},
      {"HTTP 404 or 500", true, FetchStatus::kRefused, L"", {M::kCheckFailed}},
      {"body cut short", true, FetchStatus::kTransferFailed, L"", {M::kCheckFailed}},
      {"no Version= key", true, FetchStatus::kOk, L"[update]\r\nVer=1.0.1.0\r\n", {M::kCheckFailed}},
      {"not a version", true, FetchStatus::kOk, L"Version=<html>\r\n", {M::kCheckFailed}},
      {"number too big", true, FetchStatus::kOk, L"Version=1.0.0.65536\r\n", {M::kCheckFailed}},
  };
  for (const auto& c : cases) {
    server.sessionOpens = c.sessionOpens;
    server.textStatus = c.status;
    server.iniText = c.ini;
    ui.messages.clear();
    EXPECT_EQ(Check(), kAnswerNone) << c.what;
    EXPECT_EQ(ui.messages, c.messages) << c.what;
    EXPECT_EQ(server.log.back(), L"close") << c.what;
  }
  EXPECT_EQ(ui.asked, 0);
}

TEST_F(CheckTest, NoDownloadFolderFailsTheCheckBeforeAnyRequest) {
  class NoTemp : public FakeFileSystem {
   public:
    Entry Probe(const std::wstring&) const override { return Entry::kOther; }
    bool CreateFolder(const std::wstring&) override { return false; }
  } noTemp;
  DownloadFolder fromWork(work, noTemp, std::wstring(kWork) + L"\\PresenterVela_xp.exe");
  const int answer = CheckForUpdate(
      {server, ui, fromWork, [&](const std::wstring& f) { urlFiles.push_back(f); }, L"1.0.0.1"}, kBase);
  EXPECT_EQ(answer, kAnswerNone);
  EXPECT_EQ(ui.messages, std::vector<CheckMessage>{CheckMessage::kCheckFailed});
  EXPECT_TRUE(urlFiles.empty());
  EXPECT_EQ(server.log, (std::vector<std::wstring>{L"open", L"close"}));
}

class RecordingView : public IDownloadView {
 public:
  std::vector<std::wstring> log;
  void SetStatus(std::wstring_view text) override { log.push_back(L"1004 " + std::wstring(text)); }
  void SetProgressLabel(std::wstring_view text) override { log.push_back(L"1005 " + std::wstring(text)); }
  void SetCounter(int counter) override { log.push_back(L"1006 " + std::to_wstring(counter)); }
};

struct DownloadTest : CheckTest {
  RecordingView view;
  std::vector<std::pair<std::wstring, std::wstring>> started;
  bool starts = true;
  std::atomic<bool> cancel{false};

  DownloadOutcome Download(const std::wstring& program = L"D:\\My Tools\\PresenterVela.exe") {
    return RunDownload({server, view, folder,
                        [&](const std::wstring& file, const std::wstring& parameters) {
                          started.emplace_back(file, parameters);
                          return starts;
                        },
                        program, false},
                       kBase, cancel);
  }
};

TEST_F(DownloadTest, DownloadsBothFilesInOrderThenStartsTheUpdater) {
  EXPECT_EQ(Download(), DownloadOutcome::kHandedOver);
  const std::wstring work = kWork;
  EXPECT_EQ(server.log, (std::vector<std::wstring>{
                            L"open",
                            std::wstring(L"file ") + kBase + L"Renewa.exe -> " + work + L"\\Renewa.exe",
                            std::wstring(L"file ") + kBase + L"PresenterVela_xp.exe -> " + work +
                                L"\\PresenterVela_xp.exe",
                            L"close",
                        }));
  EXPECT_EQ(view.log, (std::vector<std::wstring>{
                          L"1004 Downloading the update program.", L"1005 Download bytes: ", L"1006 0",
                          L"1006 1024", L"1004 Downloading the main program.", L"1006 0", L"1006 1024",
                          L"1004 Download success.\r\nPlease wait to reboot it..."}));
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].first, work + L"\\Renewa.exe");
  EXPECT_EQ(started[0].second,
            L"\"" + work + L"\\PresenterVela_xp.exe\" \"D:\\My Tools\\PresenterVela.exe\"");
}

TEST_F(DownloadTest, AFailedDownloadStartsNothing) {
  const struct {
    const char* what;
    const wchar_t* file;
    FetchStatus status;
    std::wstring text;
    std::size_t fetches;
  } cases[] = {
      {"updater 404", L"Renewa.exe", FetchStatus::kRefused, std::wstring(kUpdaterDownloadFailedText), 1},
      {"updater reset", L"Renewa.exe", FetchStatus::kTransferFailed, std::wstring(kUpdaterDownloadFailedText),
       1},
      {"main program short", L"PresenterVela_xp.exe", FetchStatus::kTransferFailed,
       std::wstring(kMainDownloadFailedText), 2},
      {"main program gone", L"PresenterVela_xp.exe", FetchStatus::kCannotConnect,
       std::wstring(kMainDownloadFailedText), 2},
  };
  for (const auto& c : cases) {
    server.fileStatus = {{c.file, c.status}};
    server.log.clear();
    view.log.clear();
    EXPECT_EQ(Download(), DownloadOutcome::kFailed) << c.what;
    EXPECT_EQ(view.log.back(), L"1004 " + c.text) << c.what;
    EXPECT_EQ(server.log.size(), c.fetches + 2) << c.what;  // open, fetches, close
    EXPECT_EQ(server.log.back(), L"close");
  }
  EXPECT_TRUE(started.empty());
}

TEST_F(DownloadTest, AnUpdaterThatDoesNotStartLeavesTheProgramRunningWithAMessage) {
  starts = false;
  EXPECT_EQ(Download(), DownloadOutcome::kFailed);
  EXPECT_EQ(view.log.back(), L"1004 " + std::wstring(UpdaterNotStartedText(false)));
  EXPECT_EQ(started.size(), 1u);
}

TEST_F(DownloadTest, CancelEndsWithoutAFailureTextOrAStart) {
  server.fileStatus = {{L"Renewa.exe", FetchStatus::kCancelled}};
  EXPECT_EQ(Download(), DownloadOutcome::kCancelled);
  EXPECT_EQ(view.log.back(), L"1006 1024");
  EXPECT_TRUE(started.empty());
}

TEST_F(DownloadTest, NoSessionIsAnUpdaterFailure) {
  server.sessionOpens = false;
  EXPECT_EQ(Download(), DownloadOutcome::kFailed);
  EXPECT_EQ(view.log, std::vector<std::wstring>{L"1004 " + std::wstring(kUpdaterDownloadFailedText)});
}

}  // namespace
}  // namespace pv::update
