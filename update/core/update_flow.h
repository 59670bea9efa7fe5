// The two flows of the online update, over ports the platform implements:
// the version check that ends in the question box or a message, and the
// download that ends in the hand-over to the updater.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "update/core/download_folder.h"
#include "update/core/transfer.h"

namespace pv::update {

// Answers of the question box (the platform's button ids).
inline constexpr int kAnswerNone = 0;
inline constexpr int kAnswerUpdate = 6;   // IDYES
inline constexpr int kAnswerNothing = 7;  // IDNO
inline constexpr int kAnswerBrowser = 2;  // IDCANCEL, also Escape and the close box

enum class FetchStatus {
  kOk,
  kCannotConnect,   // the URL could not be opened (no server, TLS refused)
  kRefused,         // an HTTP status outside 200..299, or a redirect we do not follow
  kTransferFailed,  // the body did not arrive whole, or could not be stored
  kCancelled,
};

class IUpdateServer {
 public:
  virtual bool OpenSession() = 0;
  virtual void CloseSession() = 0;
  // "update.ini" as text (at most 199 characters' worth of bytes).
  virtual FetchStatus FetchText(const std::wstring& url, std::wstring& text) = 0;
  // A file into `path`, complete or not at all.
  virtual FetchStatus FetchFile(const std::wstring& url, const std::wstring& path,
                                const std::atomic<bool>& cancel,
                                const std::function<void(int)>& progress) = 0;

 protected:
  ~IUpdateServer() = default;
};

enum class CheckMessage { kCannotConnect, kLatestVersion, kCheckFailed };

class ICheckUi {
 public:
  virtual void ShowMessage(CheckMessage message) = 0;
  // The question box with the program's own button texts; returns the answer.
  virtual int AskToUpdate() = 0;

 protected:
  ~ICheckUi() = default;
};

// What the server's answer means for the user.
enum class CheckVerdict {
  kNewer,          // ask whether to update
  kLatest,         // "It is the latest version."
  kFailed,         // the check's failure text
  kCannotConnect,  // "can not connect to server", then the failure text
};

// The network part of the check: opens a session, fetches "update.ini" and
// compares its version with ours; the session is closed again. Runs on a
// worker thread, so it touches nothing but the server.
CheckVerdict FetchVerdict(IUpdateServer& server, std::wstring_view baseUrl, std::wstring_view localVersion);

// The whole check may take this long from the click, whatever the server
// (or a proxy, or the name lookup) does; then it ends as a failure.
inline constexpr std::uint32_t kCheckDeadlineMs = 15000;
// The window thread looks at the clock at least this often while it waits.
inline constexpr std::uint32_t kCheckPollMs = 100;

// Runs FetchVerdict away from the window thread and lets the window thread
// wait for it while the window keeps answering its messages.
class ICheckWorker {
 public:
  virtual std::uint64_t NowMs() = 0;
  // Starts the job on a worker; its result becomes Result().
  virtual void Start(std::function<CheckVerdict()> job) = 0;
  // The job's result once it has finished.
  virtual std::optional<CheckVerdict> Result() = 0;
  // Handles the window's messages until the job finishes or `maxMs` pass.
  virtual void WaitForEvents(std::uint32_t maxMs) = 0;
  // Quit or the end of the session came while waiting.
  virtual bool StopRequested() = 0;
  // Aborts the job's blocked network call; its result no longer matters.
  virtual void Abort() = 0;

 protected:
  ~ICheckWorker() = default;
};

enum class CheckWaitEnd { kFinished, kDeadline, kStopped };

// Waits for the worker until it finishes, the deadline (counted from
// `startMs`) passes or a stop is requested; the last two abort the worker.
CheckWaitEnd WaitForVerdict(ICheckWorker& worker, std::uint64_t startMs, std::uint32_t deadlineMs,
                            CheckVerdict& verdict);

struct CheckPorts {
  IUpdateServer& server;  // used by the worker only
  ICheckUi& ui;
  DownloadFolder& folder;
  // Writes "url.txt" into the download folder; failures are not reported.
  std::function<void(const std::wstring& folder)> writeUrlFile;
  std::wstring localVersion;
  ICheckWorker& worker;
};

// The whole check. Returns the question box's answer, or kAnswerNone when
// there is no newer version, the check failed (the user has then been told)
// or a stop was requested (nothing more is shown).
int CheckForUpdate(CheckPorts ports, std::wstring_view baseUrl);

class IDownloadView {
 public:
  // The box "can not connect to server"; returns once the user closed it.
  virtual void ShowCannotConnect() = 0;
  virtual void SetStatus(std::wstring_view text) = 0;         // static 1004
  virtual void SetProgressLabel(std::wstring_view text) = 0;  // static 1005
  virtual void SetCounter(int counter) = 0;                   // static 1006

 protected:
  ~IDownloadView() = default;
};

enum class DownloadOutcome { kHandedOver, kFailed, kCancelled };

struct DownloadPorts {
  IUpdateServer& server;
  IDownloadView& view;
  DownloadFolder& folder;
  // Starts the updater; false when it did not start.
  std::function<bool(const std::wstring& file, const std::wstring& parameters)> startUpdater;
  std::wstring runningProgram;
  bool chineseUi = false;
};

// Downloads the updater, then the new program, then starts the updater with
// both paths. Nothing is started unless both files arrived whole into a
// download folder that is ours (checked again before the start).
DownloadOutcome RunDownload(DownloadPorts ports, std::wstring_view baseUrl, const std::atomic<bool>& cancel);

}  // namespace pv::update
