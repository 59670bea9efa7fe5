// UpdateDlg: the version check and, after "Update", the dialog (template
// 103) that downloads the updater and the new program and hands over to the
// updater. Check and transfer run on worker threads so the windows stay
// responsive; the check ends by its deadline at the latest, "Cancel" stops
// the transfer (closing its handles ends a blocked call) and no partial
// file is kept.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "settings/core/work_folder.h"
#include "settings/win32/win32_work_folder_platform.h"
#include "update/core/update_flow.h"
#include "update/win32/wininet_server.h"

namespace pv::update::win32 {

// The base URL and time-out this run uses: the built-in https URL, or a
// test server on this machine named by PRESENTER_VELA_UPDATE_URL.
std::wstring BaseUrl();
unsigned NetworkTimeoutMs();

class UpdateDlg : public CDialog, private IDownloadView {
 public:
  // DoModal's result when the updater was started: the program should end.
  static constexpr INT_PTR kHandedOver = 0x100;

  UpdateDlg(HWND owner, bool chineseUi, const settings::WorkFolder& workFolder);
  ~UpdateDlg() override;

  // The whole check; returns IDYES, IDNO, IDCANCEL or 0 (no newer version,
  // a failure the user has been told about, or stopRequested became true:
  // the program is ending).
  int CheckForUpdate(bool chineseUi, std::function<bool()> stopRequested);
  // The browser downloads the new program.
  void OpenDownloadPage();

 protected:
  BOOL OnInitDialog() override;
  // Enter does nothing: "Cancel" is the dialog's only button.
  void OnOK() override {}
  void OnCancel() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool GetDownloadFolder(std::wstring& out) { return m_folder.GetDownloadFolder(out); }
  void WriteUrlFile(const std::wstring& folder) const;
  void CentreOnOwner();
  void OnPaint();
  void OnTimer();
  void RunDownload();
  void OnDownloadDone(DownloadOutcome outcome);
  bool StartUpdater(const std::wstring& file, const std::wstring& parameters) const;
  void ApplyStaticsFont();

  // IDownloadView: called on the worker; the texts reach the statics
  // through ShowViewState on this window's thread, the box is shown there
  // while the worker waits.
  void ShowCannotConnect() override;
  void SetStatus(std::wstring_view text) override;
  void SetProgressLabel(std::wstring_view text) override;
  void SetCounter(int counter) override;
  void PostViewChange();
  void ShowViewState();

  bool m_chineseUi;
  std::wstring m_baseUrl;
  std::wstring m_runningProgram;
  settings::Win32WorkFolderPlatform m_fileSystem;
  DownloadFolder m_folder;
  CWinInetServer m_server;

  UINT_PTR m_timerId = 0;
  bool m_bPainted = false;
  CFont m_font;

  std::thread m_worker;
  HWND m_workerWindow = nullptr;  // the dialog, as the worker posts to it (set before it starts)
  std::atomic<bool> m_cancel{false};
  // The worker's outcome, written before m_workerFinished: the end message
  // is believed only once the worker has really finished (any process of
  // the user's could post it).
  DownloadOutcome m_outcome = DownloadOutcome::kFailed;
  std::atomic<bool> m_workerFinished{false};
  bool m_closeWhenDone = false;
  bool m_downloadStarted = false;

  // What the statics should show, written by the worker.
  struct ViewState {
    std::wstring status, label;
    int counter = 0;
    bool statusSet = false, labelSet = false, counterSet = false;
  };
  std::mutex m_viewLock;
  ViewState m_view;
  std::atomic<bool> m_viewChangePosted{false};
};

}  // namespace pv::update::win32
