// The update server over WinINet. Every request is fresh (no cache), sends
// no cookies and no credentials, has connect, send and receive time-outs,
// checks the server's certificate (no flag that ignores certificate errors)
// and follows redirects itself so that it can refuse those that leave the
// host or https. Files are written under a temporary name and renamed into
// place only when complete.
//
// WinINet's time-outs apply per socket operation, so a call can still block
// for long (a server that sends a byte every few seconds, name lookup, proxy
// detection). Abort, from another thread, closes the handles of the call
// under way: WinINet then ends the blocked call. The handles are kept under
// a lock and closed exactly once, by whichever side comes first.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "update/core/update_flow.h"
#include "update/core/update_url.h"
#include "update/win32/internet_handle.h"

namespace pv::update::win32 {

class CWinInetServer : public IUpdateServer {
 public:
  CWinInetServer(std::wstring agent, unsigned timeoutMs) : agent_(std::move(agent)), timeoutMs_(timeoutMs) {}
  ~CWinInetServer() { CloseSession(); }
  CWinInetServer(const CWinInetServer&) = delete;
  CWinInetServer& operator=(const CWinInetServer&) = delete;

  bool OpenSession() override;
  void CloseSession() override;
  FetchStatus FetchText(const std::wstring& url, std::wstring& text) override;
  FetchStatus FetchFile(const std::wstring& url, const std::wstring& path, const std::atomic<bool>& cancel,
                        const std::function<void(int)>& progress) override;

  // Any thread: ends the call under way and every later one (the server
  // object is done with).
  void Abort();
  bool Aborted() const { return m_aborted.load(); }

 private:
  enum Slot { kSession, kConnection, kRequest, kSlotCount };

  // A request whose status is 2xx, after the allowed redirects; it is in
  // the request slot.
  FetchStatus OpenRequest(const std::wstring& url, const std::atomic<bool>* cancel);
  FetchStatus SendRequest(const Url& url);
  void ApplyTimeouts(HINTERNET handle) const;

  HINTERNET Handle(Slot slot);
  // Takes `handle` into the slot (closing what was there); after Abort the
  // handle is closed at once and false returned.
  bool Keep(Slot slot, HINTERNET handle);
  void Close(Slot slot);

  std::wstring agent_;
  unsigned timeoutMs_;
  std::mutex m_lock;
  // m_pSession, m_pConnection (to the host of the latest request) and the
  // request under way.
  HINTERNET m_handles[kSlotCount] = {};
  std::atomic<bool> m_aborted{false};
};

// The name a download is written under until it is complete.
std::wstring PartialFileName(const std::wstring& path);

}  // namespace pv::update::win32
