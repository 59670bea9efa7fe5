#include "update/core/update_flow.h"

#include "update/core/update_texts.h"
#include "update/core/update_url.h"
#include "update/core/version_check.h"

namespace pv::update {
namespace {

std::wstring Join(std::wstring_view base, std::wstring_view name) {
  std::wstring url(base);
  url += name;
  return url;
}

CheckVerdict VerdictOfText(const std::wstring& iniText, std::wstring_view localVersion) {
  std::wstring remote;
  if (!ParseVersion(iniText, remote)) return CheckVerdict::kFailed;
  switch (CompareVersions(localVersion, remote)) {
    case VersionVerdict::kNewer:
      return CheckVerdict::kNewer;
    case VersionVerdict::kNotNewer:
      return CheckVerdict::kLatest;
    case VersionVerdict::kUnusable:
      break;
  }
  return CheckVerdict::kFailed;
}

// The user hears about a failed check once, with the reason when it is that
// the server could not be reached.
int AnswerVerdict(CheckVerdict verdict, ICheckUi& ui) {
  switch (verdict) {
    case CheckVerdict::kNewer:
      return ui.AskToUpdate();
    case CheckVerdict::kLatest:
      ui.ShowMessage(CheckMessage::kLatestVersion);
      return kAnswerNone;
    case CheckVerdict::kCannotConnect:
      ui.ShowMessage(CheckMessage::kCannotConnect);
      break;
    case CheckVerdict::kFailed:
      break;
  }
  ui.ShowMessage(CheckMessage::kCheckFailed);
  return kAnswerNone;
}

}  // namespace

CheckVerdict FetchVerdict(IUpdateServer& server, std::wstring_view baseUrl, std::wstring_view localVersion) {
  if (!server.OpenSession()) {
    server.CloseSession();
    return CheckVerdict::kCannotConnect;
  }
  std::wstring iniText;
  const FetchStatus status = server.FetchText(Join(baseUrl, kUpdateIniName), iniText);
  server.CloseSession();  // before any box shows
  if (status == FetchStatus::kCannotConnect) return CheckVerdict::kCannotConnect;
  if (status != FetchStatus::kOk) return CheckVerdict::kFailed;
  return VerdictOfText(iniText, localVersion);
}

CheckWaitEnd WaitForVerdict(ICheckWorker& worker, std::uint64_t startMs, std::uint32_t deadlineMs,
                            CheckVerdict& verdict) {
  for (;;) {
    if (const std::optional<CheckVerdict> result = worker.Result()) {
      verdict = *result;
      return CheckWaitEnd::kFinished;
    }
    if (worker.StopRequested()) {
      worker.Abort();
      return CheckWaitEnd::kStopped;
    }
    const std::uint64_t now = worker.NowMs();
    const std::uint64_t elapsed = now > startMs ? now - startMs : 0;
    if (elapsed >= deadlineMs) {
      worker.Abort();
      return CheckWaitEnd::kDeadline;
    }
    const std::uint64_t left = deadlineMs - elapsed;
    worker.WaitForEvents(static_cast<std::uint32_t>(left < kCheckPollMs ? left : kCheckPollMs));
  }
}

int CheckForUpdate(CheckPorts ports, std::wstring_view baseUrl) {
  const std::uint64_t clicked = ports.worker.NowMs();
  std::wstring folder;
  if (!ports.folder.GetDownloadFolder(folder)) return AnswerVerdict(CheckVerdict::kFailed, ports.ui);
  if (ports.writeUrlFile) ports.writeUrlFile(folder);

  // The job owns copies of everything it reads: it may outlive this call
  // when the deadline or a stop abandons it.
  IUpdateServer* server = &ports.server;
  ports.worker.Start([server, base = std::wstring(baseUrl), local = ports.localVersion] {
    return FetchVerdict(*server, base, local);
  });
  CheckVerdict verdict = CheckVerdict::kFailed;
  switch (WaitForVerdict(ports.worker, clicked, kCheckDeadlineMs, verdict)) {
    case CheckWaitEnd::kStopped:
      return kAnswerNone;  // the program is ending: no box
    case CheckWaitEnd::kDeadline:
      return AnswerVerdict(CheckVerdict::kFailed, ports.ui);
    case CheckWaitEnd::kFinished:
      break;
  }
  return AnswerVerdict(verdict, ports.ui);
}

DownloadOutcome RunDownload(DownloadPorts ports, std::wstring_view baseUrl, const std::atomic<bool>& cancel) {
  const auto fail = [&](std::wstring_view text, FetchStatus status) {
    ports.server.CloseSession();
    if (status == FetchStatus::kCancelled || cancel.load()) return DownloadOutcome::kCancelled;
    if (status == FetchStatus::kCannotConnect) ports.view.ShowCannotConnect();
    ports.view.SetStatus(text);
    return DownloadOutcome::kFailed;
  };
  // No session is no network at all, not a server that went away: no box.
  if (!ports.server.OpenSession()) return fail(kUpdaterDownloadFailedText, FetchStatus::kRefused);
  const auto counter = [&](int value) { ports.view.SetCounter(value); };

  // Programs are written only into a folder that is ours.
  std::wstring folder;
  if (!ports.folder.GetDownloadFolder(folder)) return fail(kUpdaterDownloadFailedText, FetchStatus::kRefused);
  const std::wstring updaterPath = PathIn(folder, kUpdaterName);
  ports.view.SetStatus(kDownloadingUpdaterText);
  ports.view.SetProgressLabel(kDownloadBytesText);
  ports.view.SetCounter(0);
  FetchStatus status = ports.server.FetchFile(Join(baseUrl, kUpdaterName), updaterPath, cancel, counter);
  if (status != FetchStatus::kOk) return fail(kUpdaterDownloadFailedText, status);

  if (!ports.folder.GetDownloadFolder(folder)) return fail(kMainDownloadFailedText, FetchStatus::kRefused);
  const std::wstring mainPath = PathIn(folder, kMainProgramName);
  ports.view.SetStatus(kDownloadingMainText);
  ports.view.SetCounter(0);
  status = ports.server.FetchFile(Join(baseUrl, kMainProgramName), mainPath, cancel, counter);
  if (status != FetchStatus::kOk) return fail(kMainDownloadFailedText, status);
  ports.server.CloseSession();
  if (cancel.load()) return DownloadOutcome::kCancelled;

  // The updater starts from the folder it was written into: still ours?
  std::wstring folderNow;
  if (!ports.folder.GetDownloadFolder(folderNow) || folderNow != folder) {
    ports.view.SetStatus(kMainDownloadFailedText);
    return DownloadOutcome::kFailed;
  }
  ports.view.SetStatus(kDownloadSuccessText);
  if (!ports.startUpdater(updaterPath, UpdaterParameters(mainPath, ports.runningProgram))) {
    ports.view.SetStatus(UpdaterNotStartedText(ports.chineseUi));
    return DownloadOutcome::kFailed;
  }
  return DownloadOutcome::kHandedOver;
}

}  // namespace pv::update
