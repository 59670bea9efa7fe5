// The two flows of the online update, over ports the platform implements:
// the version check that ends in the question box or a message, and the
// download that ends in the hand-over to the updater.
#pragma once

#include <atomic>
#include <functional>
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

struct CheckPorts {
  IUpdateServer& server;
  ICheckUi& ui;
  DownloadFolder& folder;
  // Writes "url.txt" into the download folder; failures are not reported.
  std::function<void(const std::wstring& folder)> writeUrlFile;
  std::wstring localVersion;
};

// The whole check. Returns the question box's answer, or kAnswerNone when
// there is no newer version or the check failed (the user has then been told).
int CheckForUpdate(CheckPorts ports, std::wstring_view baseUrl);

class IDownloadView {
 public:
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
// both paths. Nothing is started unless both files arrived whole.
DownloadOutcome RunDownload(DownloadPorts ports, std::wstring_view baseUrl, const std::atomic<bool>& cancel);

}  // namespace pv::update
