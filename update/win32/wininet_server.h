// The update server over WinINet. Every request is fresh (no cache), has
// connect, send and receive time-outs, checks the server's certificate
// (no flag that ignores certificate errors) and follows redirects itself so
// that it can refuse those that leave the host or https. Files are written
// under a temporary name and renamed into place only when complete.
#pragma once

#include <string>

#include "update/core/update_flow.h"
#include "update/core/update_url.h"
#include "update/win32/internet_handle.h"

namespace pv::update::win32 {

class CWinInetServer : public IUpdateServer {
 public:
  CWinInetServer(std::wstring agent, unsigned timeoutMs) : agent_(std::move(agent)), timeoutMs_(timeoutMs) {}

  bool OpenSession() override;
  void CloseSession() override;
  FetchStatus FetchText(const std::wstring& url, std::wstring& text) override;
  FetchStatus FetchFile(const std::wstring& url, const std::wstring& path, const std::atomic<bool>& cancel,
                        const std::function<void(int)>& progress) override;

 private:
  // A request whose status is 2xx, after the allowed redirects.
  FetchStatus OpenRequest(const std::wstring& url, CInternetHandle& request);
  FetchStatus SendRequest(const Url& url, CInternetHandle& request);
  void ApplyTimeouts(HINTERNET handle) const;

  std::wstring agent_;
  unsigned timeoutMs_;
  CInternetHandle m_pSession;
  CInternetHandle m_pConnection;  // to the host of the latest request
};

// The name a download is written under until it is complete.
std::wstring PartialFileName(const std::wstring& path);

}  // namespace pv::update::win32
