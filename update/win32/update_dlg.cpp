#include "update/win32/update_dlg.h"

// After <windows.h>:
#include <shellapi.h>

#include <optional>
#include <vector>

#include "framework/kernel_handles.h"
#include "resources/resource_ids.h"
#include "update/core/update_url.h"
#include "update/win32/question_box.h"
#include "update/win32/version_string.h"

namespace pv::update::win32 {
namespace {

constexpr UINT_PTR kStartTimer = 1001;
constexpr UINT kStartDelayMs = 200;
// Posted by the worker: the statics have new texts / the flow ended (wp = outcome).
constexpr UINT UM_DOWNLOAD_VIEW = WM_APP + 0x31;
constexpr UINT UM_DOWNLOAD_DONE = WM_APP + 0x32;

std::optional<std::wstring> Environment(const wchar_t* name) {
  std::vector<wchar_t> buffer(2048);
  const DWORD length = ::GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return std::nullopt;
  return std::wstring(buffer.data(), length);
}

}  // namespace

std::wstring BaseUrl() {
  return ChooseBaseUrl(PV_UPDATE_BASE_URL, Environment(kUrlOverrideVariable));
}

unsigned NetworkTimeoutMs() {
  return ChooseTimeoutMs(BaseUrl(), Environment(kTimeoutOverrideVariable));
}

UpdateDlg::UpdateDlg(HWND owner, bool chineseUi, const settings::WorkFolder& workFolder)
    : CDialog(IDD_UPDATE, owner),
      m_chineseUi(chineseUi),
      m_baseUrl(BaseUrl()),
      m_runningProgram(RunningProgramPath()),
      m_folder(workFolder, m_fileSystem, m_runningProgram),
      m_server(MessageCaption(), NetworkTimeoutMs()) {}

UpdateDlg::~UpdateDlg() {
  // Every request has time-outs, so the worker ends in bounded time.
  m_cancel = true;
  if (m_worker.joinable()) m_worker.join();
  DestroyWindow();
}

int UpdateDlg::CheckForUpdate(bool chineseUi) {
  CWaitCursor busy;
  CCheckUi ui(m_hWnd != nullptr ? m_hWnd : m_owner, chineseUi, busy);
  return pv::update::CheckForUpdate(
      {m_server, ui, m_folder, [this](const std::wstring& folder) { WriteUrlFile(folder); },
       RunningVersionString()},
      m_baseUrl);
}

// "url.txt": the base URL in the ANSI code page, its bytes only (the updater
// reads where to download from here).
void UpdateDlg::WriteUrlFile(const std::wstring& folder) const {
  const std::wstring path = PathIn(folder, kUrlFileName);
  CFileHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const int size = ::WideCharToMultiByte(CP_ACP, 0, m_baseUrl.data(), static_cast<int>(m_baseUrl.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, m_baseUrl.data(), static_cast<int>(m_baseUrl.size()), bytes.data(), size,
                        nullptr, nullptr);
  DWORD written = 0;
  ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void UpdateDlg::OpenDownloadPage() {
  const std::wstring url = m_baseUrl + std::wstring(kMainProgramName);
  ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
}

BOOL UpdateDlg::OnInitDialog() {
  m_timerId = SetTimer(kStartTimer, kStartDelayMs);
  m_bPainted = false;
  m_folder.Reset();  // the download folder is decided again
  CDialog::OnInitDialog();
  CentreOnOwner();
  return TRUE;
}

// Over the settings page the user clicked, rather than at the screen's corner.
void UpdateDlg::CentreOnOwner() {
  if (m_owner == nullptr || !::IsWindowVisible(m_owner)) return;
  RECT owner{};
  ::GetWindowRect(m_owner, &owner);
  const RECT self = GetWindowRect();
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  ::SetWindowPos(m_hWnd, nullptr, (owner.left + owner.right - width) / 2,
                 (owner.top + owner.bottom - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT UpdateDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return DefaultProc(msg, wp, lp);
    case WM_TIMER:
      OnTimer();
      return DefaultProc(msg, wp, lp);
    case UM_DOWNLOAD_VIEW:
      ShowViewState();
      return 0;
    case UM_DOWNLOAD_DONE:
      OnDownloadDone(static_cast<DownloadOutcome>(wp));
      return 0;
  }
  return CDialog::WindowProc(msg, wp, lp);
}

// The statics get a 12-point Arial once the dialog has painted for the first
// time; the download waits for that paint.
void UpdateDlg::OnPaint() {
  if (m_bPainted) return;
  m_bPainted = true;
  if (!m_font) {
    CClientDC screen(nullptr);
    const int height = -::MulDiv(120, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 720);
    m_font.Reset(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                               L"Arial"));
  }
  for (int id : {IDC_UPDATE_STATUS, IDC_UPDATE_PROGRESS_LABEL, IDC_UPDATE_PROGRESS_COUNT}) {
    if (HWND control = GetDlgItem(id)) {
      ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
    }
  }
}

void UpdateDlg::OnTimer() {
  if (!m_bPainted || m_timerId == 0) return;
  KillTimer(std::exchange(m_timerId, 0));
  RunDownload();
}

void UpdateDlg::RunDownload() {
  if (m_downloadStarted) return;
  m_downloadStarted = true;
  m_workerWindow = m_hWnd;
  const HWND window = m_hWnd;
  m_worker = std::thread([this, window] {
    const DownloadOutcome outcome =
        pv::update::RunDownload({m_server, *this, m_folder,
                                 [this](const std::wstring& file, const std::wstring& parameters) {
                                   return StartUpdater(file, parameters);
                                 },
                                 m_runningProgram, m_chineseUi},
                                m_baseUrl, m_cancel);
    ::PostMessageW(window, UM_DOWNLOAD_DONE, static_cast<WPARAM>(outcome), 0);
  });
}

// The updater starts from its own full path (no search along PATH); the
// result says whether it really started.
bool UpdateDlg::StartUpdater(const std::wstring& file, const std::wstring& parameters) const {
  std::wstring commandLine = L"\"" + file + L"\" " + parameters;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return false;
  }
  CHandle thread(process.hThread);
  CHandle started(process.hProcess);
  return true;
}

void UpdateDlg::OnCancel() {
  if (m_worker.joinable() && !m_closeWhenDone) {
    // The worker stops at its next read (or time-out), deletes the partial
    // file and reports; the dialog closes then.
    m_cancel = true;
    m_closeWhenDone = true;
    if (HWND button = GetDlgItem(IDCANCEL)) ::EnableWindow(button, FALSE);
    return;
  }
  if (m_closeWhenDone) return;
  if (m_timerId != 0) KillTimer(std::exchange(m_timerId, 0));
  EndDialog(IDCANCEL);
}

void UpdateDlg::OnDownloadDone(DownloadOutcome outcome) {
  if (m_worker.joinable()) m_worker.join();
  ShowViewState();
  if (outcome == DownloadOutcome::kHandedOver) {
    EndDialog(kHandedOver);
  } else if (m_closeWhenDone || outcome == DownloadOutcome::kCancelled) {
    EndDialog(IDCANCEL);
  }
  // A failure stays on screen until the user closes the dialog.
  m_closeWhenDone = false;
}

void UpdateDlg::SetStatus(std::wstring_view text) {
  {
    std::lock_guard lock(m_viewLock);
    m_view.status = text;
    m_view.statusSet = true;
  }
  PostViewChange();
}

void UpdateDlg::SetProgressLabel(std::wstring_view text) {
  {
    std::lock_guard lock(m_viewLock);
    m_view.label = text;
    m_view.labelSet = true;
  }
  PostViewChange();
}

void UpdateDlg::SetCounter(int counter) {
  {
    std::lock_guard lock(m_viewLock);
    m_view.counter = counter;
    m_view.counterSet = true;
  }
  PostViewChange();
}

// One message at a time: a fast transfer does not flood the queue, and the
// statics always end with the latest values.
void UpdateDlg::PostViewChange() {
  if (!m_viewChangePosted.exchange(true)) ::PostMessageW(m_workerWindow, UM_DOWNLOAD_VIEW, 0, 0);
}

void UpdateDlg::ShowViewState() {
  m_viewChangePosted = false;
  ViewState view;
  {
    std::lock_guard lock(m_viewLock);
    view = m_view;
    m_view.statusSet = m_view.labelSet = m_view.counterSet = false;
  }
  if (view.statusSet) ::SetDlgItemTextW(m_hWnd, IDC_UPDATE_STATUS, view.status.c_str());
  if (view.labelSet) ::SetDlgItemTextW(m_hWnd, IDC_UPDATE_PROGRESS_LABEL, view.label.c_str());
  if (view.counterSet)
    ::SetDlgItemTextW(m_hWnd, IDC_UPDATE_PROGRESS_COUNT, std::to_wstring(view.counter).c_str());
}

}  // namespace pv::update::win32
