#include "update/core/update_flow.h"

#include "update/core/update_texts.h"
#include "update/core/update_url.h"
#include "update/core/version_check.h"

namespace pv::update {
namespace {

// The user hears about a failed check once, with the reason when it is that
// the server could not be reached.
int CheckFailed(CheckPorts& ports, FetchStatus status) {
  ports.server.CloseSession();
  if (status == FetchStatus::kCannotConnect) ports.ui.ShowMessage(CheckMessage::kCannotConnect);
  ports.ui.ShowMessage(CheckMessage::kCheckFailed);
  return kAnswerNone;
}

std::wstring Join(std::wstring_view base, std::wstring_view name) {
  std::wstring url(base);
  url += name;
  return url;
}

}  // namespace

int CheckForUpdate(CheckPorts ports, std::wstring_view baseUrl) {
  if (!ports.server.OpenSession()) return CheckFailed(ports, FetchStatus::kCannotConnect);
  std::wstring folder;
  if (!ports.folder.GetDownloadFolder(folder)) return CheckFailed(ports, FetchStatus::kRefused);
  if (ports.writeUrlFile) ports.writeUrlFile(folder);

  std::wstring iniText;
  const FetchStatus status = ports.server.FetchText(Join(baseUrl, kUpdateIniName), iniText);
  if (status != FetchStatus::kOk) return CheckFailed(ports, status);
  std::wstring remote;
  if (!ParseVersion(iniText, remote)) return CheckFailed(ports, FetchStatus::kRefused);

  switch (CompareVersions(ports.localVersion, remote)) {
    case VersionVerdict::kUnusable:
      return CheckFailed(ports, FetchStatus::kRefused);
    case VersionVerdict::kNotNewer:
      ports.server.CloseSession();
      ports.ui.ShowMessage(CheckMessage::kLatestVersion);
      return kAnswerNone;
    case VersionVerdict::kNewer:
      break;
  }
  ports.server.CloseSession();
  return ports.ui.AskToUpdate();
}

DownloadOutcome RunDownload(DownloadPorts ports, std::wstring_view baseUrl, const std::atomic<bool>& cancel) {
  const auto fail = [&](std::wstring_view text, FetchStatus status) {
    ports.server.CloseSession();
    if (status == FetchStatus::kCancelled || cancel.load()) return DownloadOutcome::kCancelled;
    ports.view.SetStatus(text);
    return DownloadOutcome::kFailed;
  };
  if (!ports.server.OpenSession()) return fail(kUpdaterDownloadFailedText, FetchStatus::kCannotConnect);
  const auto counter = [&](int value) { ports.view.SetCounter(value); };

  std::wstring folder;
  ports.folder.GetDownloadFolder(folder);  // a missing folder fails the download below
  const std::wstring updaterPath = PathIn(folder, kUpdaterName);
  ports.view.SetStatus(kDownloadingUpdaterText);
  ports.view.SetProgressLabel(kDownloadBytesText);
  ports.view.SetCounter(0);
  FetchStatus status = ports.server.FetchFile(Join(baseUrl, kUpdaterName), updaterPath, cancel, counter);
  if (status != FetchStatus::kOk) return fail(kUpdaterDownloadFailedText, status);

  ports.folder.GetDownloadFolder(folder);
  const std::wstring mainPath = PathIn(folder, kMainProgramName);
  ports.view.SetStatus(kDownloadingMainText);
  ports.view.SetCounter(0);
  status = ports.server.FetchFile(Join(baseUrl, kMainProgramName), mainPath, cancel, counter);
  if (status != FetchStatus::kOk) return fail(kMainDownloadFailedText, status);
  ports.server.CloseSession();
  if (cancel.load()) return DownloadOutcome::kCancelled;

  ports.view.SetStatus(kDownloadSuccessText);
  if (!ports.startUpdater(updaterPath, UpdaterParameters(mainPath, ports.runningProgram))) {
    ports.view.SetStatus(UpdaterNotStartedText(ports.chineseUi));
    return DownloadOutcome::kFailed;
  }
  return DownloadOutcome::kHandedOver;
}

}  // namespace pv::update
