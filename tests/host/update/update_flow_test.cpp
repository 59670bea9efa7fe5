// The check and the download flow over recording fakes of the server, the
// messages and the dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "update/core/update_flow.h"
#include "update/core/update_texts.h"

namespace pv::update::test {
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

// The check's worker on a scripted clock: the job finishes `runsForMs` after
// it started (never when negative); a stop comes at `stopAtMs` (never when
// negative). Every wait of the window thread is recorded.
class FakeWorker : public ICheckWorker {
 public:
  std::int64_t runsForMs = 0;
  std::int64_t stopAtMs = -1;
  std::uint64_t now = 1000000;  // the clock does not start at zero
  std::uint64_t startedAt = 0;
  std::uint32_t longestWaitMs = 0;
  int aborts = 0;
  std::function<CheckVerdict()> job;
  std::optional<CheckVerdict> result;

  std::uint64_t NowMs() override { return now; }
  void Start(std::function<CheckVerdict()> j) override {
    job = std::move(j);
    startedAt = now;
    result.reset();
  }
  std::optional<CheckVerdict> Result() override {
    if (!result && job && aborts == 0 && runsForMs >= 0 &&
        now >= startedAt + static_cast<std::uint64_t>(runsForMs)) {
      result = job();
    }
    return result;
  }
  void WaitForEvents(std::uint32_t maxMs) override {
    longestWaitMs = std::max(longestWaitMs, maxMs);
    now += maxMs;
    if (now - startedAt > 4 * kCheckDeadlineMs && stopAtMs < 0) {
      ADD_FAILURE() << "the check does not end by itself";
      stopAtMs = 0;  // ends the wait, so the fault shows as a failure, not a hang
    }
  }
  bool StopRequested() override { return stopAtMs >= 0 && now >= startedAt + stopAtMs; }
  void Abort() override { ++aborts; }
};

struct CheckTest : ::testing::Test {
  FakeFileSystem fs;
  settings::WorkFolder work{fs};
  DownloadFolder folder{work, fs, L"D:\\Tools\\PresenterVela.exe"};
  FakeServer server;
  RecordingUi ui;
  FakeWorker worker;
  std::vector<std::wstring> urlFiles;
  std::wstring localVersion = L"1.0.0.9";

  void SetUp() override {
    work.EnsureWorkFolder();
    ui.server = &server;
  }
  int Check() {
    return CheckForUpdate(
        {server, ui, folder, [&](const std::wstring& f) { urlFiles.push_back(f); }, localVersion, worker},
        kBase);
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
      {server, ui, fromWork, [&](const std::wstring& f) { urlFiles.push_back(f); }, L"1.0.0.1", worker},
      kBase);
  EXPECT_EQ(answer, kAnswerNone);
  EXPECT_EQ(ui.messages, std::vector<CheckMessage>{CheckMessage::kCheckFailed});
  EXPECT_TRUE(urlFiles.empty());
  EXPECT_TRUE(server.log.empty()) << "no session, no request";
  EXPECT_FALSE(worker.job) << "no worker";
}

// However the server behaves, the check ends 15 s after the click, as a
// failure, and the window thread never waits long between its messages.
TEST_F(CheckTest, TheDeadlineEndsACheckTheServerDrawsOut) {
  const struct {
    const char* what;
    std::int64_t runsForMs;
    bool answered;
  } cases[] = {
      {"answers at once", 0, true},
      {"answers just in time", kCheckDeadlineMs - 1, true},
      {"answers just too late", kCheckDeadlineMs + 1, false},
      {"never answers (a drip, a stuck name lookup)", -1, false},
  };
  for (const auto& c : cases) {
    FakeWorker fresh;
    fresh.runsForMs = c.runsForMs;
    worker = fresh;
    ui.messages.clear();
    ui.asked = 0;
    const std::uint64_t clicked = worker.now;
    Check();
    EXPECT_EQ(ui.asked, c.answered ? 1 : 0) << c.what;
    if (!c.answered) {
      EXPECT_EQ(ui.messages, std::vector<CheckMessage>{CheckMessage::kCheckFailed}) << c.what;
      EXPECT_EQ(worker.aborts, 1) << c.what << ": the blocked call is aborted";
      EXPECT_EQ(worker.now - clicked, kCheckDeadlineMs) << c.what;
    }
    EXPECT_LE(worker.now - clicked, kCheckDeadlineMs) << c.what;
    EXPECT_LE(worker.longestWaitMs, kCheckPollMs) << c.what;
  }
}

// Quit or the end of the session during the check: it ends at once, aborted,
// without any box.
TEST_F(CheckTest, AStopEndsTheCheckAtOnceWithoutABox) {
  worker.runsForMs = -1;
  worker.stopAtMs = 3000;
  const std::uint64_t clicked = worker.now;
  EXPECT_EQ(Check(), kAnswerNone);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.asked, 0);
  EXPECT_EQ(worker.aborts, 1);
  EXPECT_LE(worker.now - clicked, 3000u + kCheckPollMs);
}

class RecordingView : public IDownloadView {
 public:
  std::vector<std::wstring> log;
  void ShowCannotConnect() override { log.push_back(L"box can not connect to server"); }
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

// A server that went away: the box first, then the failure text; other
// failures have the text alone.
TEST_F(DownloadTest, AURLThatCannotBeOpenedShowsTheBoxBeforeTheText) {
  server.fileStatus = {{L"PresenterVela_xp.exe", FetchStatus::kCannotConnect}};
  EXPECT_EQ(Download(), DownloadOutcome::kFailed);
  ASSERT_GE(view.log.size(), 2u);
  EXPECT_EQ(view.log[view.log.size() - 2], L"box can not connect to server");
  EXPECT_EQ(view.log.back(), L"1004 " + std::wstring(kMainDownloadFailedText));
  view.log.clear();
  server.fileStatus = {{L"PresenterVela_xp.exe", FetchStatus::kRefused}};
  EXPECT_EQ(Download(), DownloadOutcome::kFailed);
  EXPECT_EQ(std::count(view.log.begin(), view.log.end(), L"box can not connect to server"), 0);
}

// The download folder's refusal stops the download (before any request) or
// the start of the updater (a folder changed under the download).
TEST_F(DownloadTest, AFolderThatIsNotOursGetsNoProgramAndStartsNone) {
  class Refusing : public FakeFileSystem {
   public:
    mutable int trustedCalls = 0;
    int refuseFromCall = 0;
    bool IsTrustedFolder(const std::wstring&) const override { return ++trustedCalls < refuseFromCall; }
  };
  const struct {
    const char* what;
    int refuseFromCall;
    std::size_t fetches;
    std::wstring text;
  } cases[] = {
      {"refused from the start", 1, 0, std::wstring(kUpdaterDownloadFailedText)},
      {"refused before the main program", 2, 1, std::wstring(kMainDownloadFailedText)},
      {"refused before the updater starts", 3, 2, std::wstring(kMainDownloadFailedText)},
  };
  for (const auto& c : cases) {
    Refusing refusing;
    refusing.refuseFromCall = c.refuseFromCall;
    settings::WorkFolder refusingWork{refusing};
    refusingWork.EnsureWorkFolder();
    DownloadFolder refusingFolder{refusingWork, refusing, L"D:\\Tools\\PresenterVela.exe"};
    server.log.clear();
    view.log.clear();
    const DownloadOutcome outcome =
        RunDownload({server, view, refusingFolder,
                     [&](const std::wstring& file, const std::wstring& parameters) {
                       started.emplace_back(file, parameters);
                       return true;
                     },
                     L"D:\\Tools\\PresenterVela.exe", false},
                    kBase, cancel);
    EXPECT_EQ(outcome, DownloadOutcome::kFailed) << c.what;
    EXPECT_EQ(view.log.back(), L"1004 " + c.text) << c.what;
    EXPECT_EQ(
        static_cast<std::size_t>(std::count_if(server.log.begin(), server.log.end(),
                                               [](const std::wstring& e) { return e.starts_with(L"file"); })),
        c.fetches)
        << c.what;
  }
  EXPECT_TRUE(started.empty());
}

TEST_F(DownloadTest, NoSessionIsAnUpdaterFailure) {
  server.sessionOpens = false;
  EXPECT_EQ(Download(), DownloadOutcome::kFailed);
  EXPECT_EQ(view.log, std::vector<std::wstring>{L"1004 " + std::wstring(kUpdaterDownloadFailedText)});
}

}  // namespace
}  // namespace pv::update::test
