#include "update/win32/wininet_server.h"

#include <optional>
#include <utility>
#include <vector>

#include "framework/kernel_handles.h"
#include "update/core/update_url.h"
#include "update/core/version_check.h"

namespace pv::update::win32 {
namespace {

// The update server never asks for credentials: none are sent (WinINet
// would otherwise answer a 401 with the user's own), and no cookies.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;

class RequestBody : public IBodyReader {
 public:
  explicit RequestBody(HINTERNET request) : request_(request) {}
  bool Read(void* buffer, std::size_t capacity, std::size_t& got) override {
    DWORD read = 0;
    const BOOL ok = ::InternetReadFile(request_, buffer, static_cast<DWORD>(capacity), &read);
    got = read;
    return ok != FALSE;
  }

 private:
  HINTERNET request_;
};

class FileSink : public IByteSink {
 public:
  explicit FileSink(HANDLE file) : file_(file) {}
  bool Write(const void* bytes, std::size_t count) override {
    DWORD written = 0;
    return ::WriteFile(file_, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
  }

 private:
  HANDLE file_;
};

std::optional<DWORD> StatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
    return std::nullopt;
  }
  return status;
}

std::optional<std::wstring> HeaderText(HINTERNET request, DWORD query) {
  std::vector<wchar_t> buffer(256);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::HttpQueryInfoW(request, query, buffer.data(), &size, nullptr)) {
      return std::wstring(buffer.data(), size / sizeof(wchar_t));
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > 16384) return std::nullopt;
    buffer.resize(size / sizeof(wchar_t) + 1);
  }
  return std::nullopt;
}

std::optional<std::uint64_t> ContentLength(HINTERNET request) {
  const std::optional<std::wstring> header = HeaderText(request, HTTP_QUERY_CONTENT_LENGTH);
  return header ? ParseContentLength(*header) : std::nullopt;
}

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

void SetTimeout(HINTERNET handle, DWORD option, DWORD ms) {
  ::InternetSetOptionW(handle, option, &ms, sizeof(ms));
}

}  // namespace

std::wstring PartialFileName(const std::wstring& path) {
  return path + L".download";
}

HINTERNET CWinInetServer::Handle(Slot slot) {
  std::lock_guard lock(m_lock);
  return m_handles[slot];
}

bool CWinInetServer::Keep(Slot slot, HINTERNET handle) {
  HINTERNET previous = nullptr;
  {
    std::lock_guard lock(m_lock);
    if (!m_aborted.load()) {
      previous = std::exchange(m_handles[slot], handle);
      handle = nullptr;
    }
  }
  if (previous != nullptr) ::InternetCloseHandle(previous);
  if (handle == nullptr) return true;
  ::InternetCloseHandle(handle);  // made while Abort ran: never used
  return false;
}

void CWinInetServer::Close(Slot slot) {
  HINTERNET handle = nullptr;
  {
    std::lock_guard lock(m_lock);
    handle = std::exchange(m_handles[slot], nullptr);
  }
  if (handle != nullptr) ::InternetCloseHandle(handle);
}

void CWinInetServer::Abort() {
  HINTERNET handles[kSlotCount] = {};
  {
    std::lock_guard lock(m_lock);
    m_aborted = true;
    for (int slot = 0; slot < kSlotCount; ++slot) handles[slot] = std::exchange(m_handles[slot], nullptr);
  }
  // The request first, then what it hangs on.
  for (int slot = kSlotCount - 1; slot >= 0; --slot) {
    if (handles[slot] != nullptr) ::InternetCloseHandle(handles[slot]);
  }
}

bool CWinInetServer::OpenSession() {
  CloseSession();
  HINTERNET session = ::InternetOpenW(agent_.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (session == nullptr) return false;
  ApplyTimeouts(session);
  DWORD retries = 1;
  ::InternetSetOptionW(session, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof(retries));
  return Keep(kSession, session);
}

void CWinInetServer::CloseSession() {
  Close(kRequest);
  Close(kConnection);
  Close(kSession);
}

// One GET without redirects: a connection to the URL's host and a request on
// it, each with the time-outs (WinINet applies them per handle).
FetchStatus CWinInetServer::SendRequest(const Url& url) {
  Close(kRequest);  // before its connection goes
  const HINTERNET session = Handle(kSession);
  if (session == nullptr) return Aborted() ? FetchStatus::kCancelled : FetchStatus::kCannotConnect;
  HINTERNET connection = ::InternetConnectW(session, url.host.c_str(), static_cast<INTERNET_PORT>(url.port),
                                            nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
  if (connection == nullptr) return Aborted() ? FetchStatus::kCancelled : FetchStatus::kCannotConnect;
  ApplyTimeouts(connection);
  if (!Keep(kConnection, connection)) return FetchStatus::kCancelled;
  const wchar_t* acceptTypes[] = {L"*/*", nullptr};
  HINTERNET request = ::HttpOpenRequestW(connection, L"GET", url.path.c_str(), nullptr, nullptr, acceptTypes,
                                         kRequestFlags | (url.IsHttps() ? INTERNET_FLAG_SECURE : 0), 1);
  if (request == nullptr) return Aborted() ? FetchStatus::kCancelled : FetchStatus::kCannotConnect;
  ApplyTimeouts(request);
  if (!Keep(kRequest, request)) return FetchStatus::kCancelled;
  // Name lookup, proxy detection, connect and the answer's head happen
  // here: Abort closes the request to end a wait in any of them.
  if (!::HttpSendRequestW(request, nullptr, 0, nullptr, 0)) {
    return Aborted() ? FetchStatus::kCancelled : FetchStatus::kCannotConnect;
  }
  return Aborted() ? FetchStatus::kCancelled : FetchStatus::kOk;
}

FetchStatus CWinInetServer::OpenRequest(const std::wstring& url, const std::atomic<bool>* cancel) {
  const std::optional<Url> origin = ParseUrl(url);
  if (!origin) return FetchStatus::kCannotConnect;
  const auto stopped = [&] { return Aborted() || (cancel != nullptr && cancel->load()); };
  std::wstring current = url;
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    if (stopped()) return FetchStatus::kCancelled;
    const FetchStatus sent = SendRequest(*ParseUrl(current));
    if (sent != FetchStatus::kOk) return sent;
    if (stopped()) return FetchStatus::kCancelled;
    const HINTERNET request = Handle(kRequest);
    const std::optional<DWORD> status = StatusCode(request);
    if (!status) return FetchStatus::kRefused;
    if (*status >= 200 && *status <= 299) return FetchStatus::kOk;
    if (!IsRedirect(*status)) return FetchStatus::kRefused;
    const std::optional<std::wstring> location = HeaderText(request, HTTP_QUERY_LOCATION);
    const std::optional<std::wstring> next = location ? ResolveRedirect(current, *location) : std::nullopt;
    if (!next || !RedirectAllowed(*origin, *ParseUrl(*next))) return FetchStatus::kRefused;
    current = *next;
  }
  return FetchStatus::kRefused;
}

void CWinInetServer::ApplyTimeouts(HINTERNET handle) const {
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
        INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    SetTimeout(handle, option, timeoutMs_);
  }
}

FetchStatus CWinInetServer::FetchText(const std::wstring& url, std::wstring& text) {
  const FetchStatus opened = OpenRequest(url, nullptr);
  if (opened != FetchStatus::kOk) {
    Close(kRequest);
    return opened;
  }
  const HINTERNET request = Handle(kRequest);
  RequestBody body(request);
  std::string bytes;
  const bool whole = ReadIniBody(body, ContentLength(request), bytes);
  Close(kRequest);
  if (Aborted()) return FetchStatus::kCancelled;
  if (!whole) return FetchStatus::kTransferFailed;
  const std::string_view cut = CutIniBytes(bytes);
  text.clear();
  if (cut.empty()) return FetchStatus::kOk;
  const int length = ::MultiByteToWideChar(CP_ACP, 0, cut.data(), static_cast<int>(cut.size()), nullptr, 0);
  text.resize(static_cast<std::size_t>(length));
  ::MultiByteToWideChar(CP_ACP, 0, cut.data(), static_cast<int>(cut.size()), text.data(), length);
  return FetchStatus::kOk;
}

FetchStatus CWinInetServer::FetchFile(const std::wstring& url, const std::wstring& path,
                                      const std::atomic<bool>& cancel,
                                      const std::function<void(int)>& progress) {
  const FetchStatus opened = OpenRequest(url, &cancel);
  const HINTERNET request = Handle(kRequest);
  // A program must announce its length: without it a body cut short could
  // not be told from a whole one. Nothing is written then.
  const std::optional<std::uint64_t> length =
      opened == FetchStatus::kOk ? ContentLength(request) : std::nullopt;
  if (opened != FetchStatus::kOk || !length) {
    Close(kRequest);
    return opened != FetchStatus::kOk ? opened : FetchStatus::kTransferFailed;
  }
  const std::wstring partial = PartialFileName(path);
  TransferResult result;
  {
    CFileHandle file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      Close(kRequest);
      return FetchStatus::kTransferFailed;
    }
    RequestBody body(request);
    FileSink sink(file.Get());
    result = CopyBody(body, sink, length, kMaxDownloadBytes, cancel, progress);
    if (Aborted()) result = TransferResult::kCancelled;
    if (result == TransferResult::kComplete && !::FlushFileBuffers(file.Get())) {
      result = TransferResult::kWriteError;
    }
  }
  Close(kRequest);
  if (result == TransferResult::kComplete &&
      ::MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return FetchStatus::kOk;
  }
  ::DeleteFileW(partial.c_str());  // a partial file is never left to be taken for the real one
  return result == TransferResult::kCancelled ? FetchStatus::kCancelled : FetchStatus::kTransferFailed;
}

}  // namespace pv::update::win32
