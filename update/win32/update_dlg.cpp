#include "update/win32/update_dlg.h"

// After <windows.h>:
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <vector>

#include "framework/kernel_handles.h"
#include "resources/resource_ids.h"
#include "update/core/update_texts.h"
#include "update/core/update_url.h"
#include "update/win32/check_worker.h"
#include "update/win32/question_box.h"
#include "update/win32/version_string.h"

namespace pv::update::win32 {
namespace {

constexpr UINT_PTR kStartTimer = 1001;
constexpr UINT kStartDelayMs = 200;
// Posted by the worker: the statics have new texts / the flow ended (wp = outcome).
constexpr UINT UM_DOWNLOAD_VIEW = WM_APP + 0x31;
constexpr UINT UM_DOWNLOAD_DONE = WM_APP + 0x32;
// Sent by the worker: show "can not connect to server" (it waits for the box).
constexpr UINT UM_DOWNLOAD_BOX = WM_APP + 0x33;

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

int UpdateDlg::CheckForUpdate(bool chineseUi, std::function<bool()> stopRequested) {
  CWaitCursor busy;
  CCheckUi ui(m_hWnd != nullptr ? m_hWnd : m_owner, chineseUi, busy);
  // A server of its own: an abandoned worker may still use it after this.
  auto server = std::make_shared<CWinInetServer>(MessageCaption(), NetworkTimeoutMs());
  CCheckWorker worker(server, std::move(stopRequested));
  return pv::update::CheckForUpdate(
      {*server, ui, m_folder, [this](const std::wstring& folder) { WriteUrlFile(folder); },
       RunningVersionString(), worker},
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
      // Only the worker's own word counts, and only once.
      if (m_workerFinished.load() && m_worker.joinable()) OnDownloadDone(m_outcome);
      return 0;
    case UM_DOWNLOAD_BOX:
      if (!m_worker.joinable() || m_workerFinished.load()) return 0;
      ShowViewState();
      ::MessageBoxW(m_hWnd, std::wstring(kCannotConnectText).c_str(), MessageCaption().c_str(), MB_OK);
      return 0;
  }
  return CDialog::WindowProc(msg, wp, lp);
}

// The statics get a 12-point font once the dialog has painted for the first
// time; the download waits for that paint.
void UpdateDlg::OnPaint() {
  if (m_bPainted) return;
  m_bPainted = true;
  ApplyStaticsFont();
}

// The system's message font, which covers the user's language (a Chinese
// text on a system whose other settings are not Chinese needs no font
// linking, as it would with Arial), at 12 points.
void UpdateDlg::ApplyStaticsFont() {
  if (!m_font) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW face{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      face = metrics.lfMessageFont;
    } else if (HFONT dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0))) {
      ::GetObjectW(dialogFont, sizeof(face), &face);
    }
    CClientDC screen(nullptr);
    face.lfHeight = -::MulDiv(120, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 720);
    face.lfWidth = 0;
    m_font.Reset(::CreateFontIndirectW(&face));
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
    m_outcome = pv::update::RunDownload({m_server, *this, m_folder,
                                         [this](const std::wstring& file, const std::wstring& parameters) {
                                           return StartUpdater(file, parameters);
                                         },
                                         m_runningProgram, m_chineseUi},
                                        m_baseUrl, m_cancel);
    m_workerFinished.store(true);
    ::PostMessageW(window, UM_DOWNLOAD_DONE, 0, 0);
  });
}

// The updater starts from its own full path through the shell, so an
// updater whose manifest asks for elevation gets the elevation prompt. The
// result says whether it really started: a refusal at the prompt, or a file
// that is no program, keeps this program running. Runs on the worker, which
// gets COM for the shell's sake and waits for the start to complete.
bool UpdateDlg::StartUpdater(const std::wstring& file, const std::wstring& parameters) const {
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof(start);
  start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  start.hwnd = nullptr;
  start.lpVerb = L"open";
  start.lpFile = file.c_str();
  start.lpParameters = parameters.c_str();
  start.nShow = SW_SHOW;
  const bool started = ::ShellExecuteExW(&start) != FALSE;
  CHandle process(start.hProcess);
  if (SUCCEEDED(com)) ::CoUninitialize();
  return started;
}

void UpdateDlg::OnCancel() {
  if (m_worker.joinable() && !m_closeWhenDone) {
    // The worker stops at once (a blocked call ends when its handles are
    // closed), deletes the partial file and reports; the dialog closes then.
    m_cancel = true;
    m_server.Abort();
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

void UpdateDlg::ShowCannotConnect() {
  // Sent, not posted: the failure text follows only after the box. The box
  // closes with the user's OK, or with the dialog when the program ends
  // (the main window's Quit closes every dialog of ours).
  ::SendMessageW(m_workerWindow, UM_DOWNLOAD_BOX, 0, 0);
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
