// The version check's network part on a worker thread, so the window keeps
// answering (raw input, the remote's keys, the tray, the end of the
// session) while the server is slow. The window thread waits in a message
// loop of its own (WaitForEvents). A worker that is still blocked when the
// check ends (its deadline, Quit) is abandoned: its handles are closed, and
// everything it touches lives in a shared state that it keeps alive itself.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "update/core/update_flow.h"
#include "update/win32/wininet_server.h"

namespace pv::update::win32 {

class CCheckWorker : public ICheckWorker {
 public:
  // stopRequested: true once the program is ending (Quit, end of session).
  CCheckWorker(std::shared_ptr<CWinInetServer> server, std::function<bool()> stopRequested);
  ~CCheckWorker();
  CCheckWorker(const CCheckWorker&) = delete;
  CCheckWorker& operator=(const CCheckWorker&) = delete;

  std::uint64_t NowMs() override;
  void Start(std::function<CheckVerdict()> job) override;
  std::optional<CheckVerdict> Result() override;
  void WaitForEvents(std::uint32_t maxMs) override;
  bool StopRequested() override;
  void Abort() override;

 private:
  struct Shared;
  std::shared_ptr<CWinInetServer> m_server;
  std::function<bool()> m_stopRequested;
  std::shared_ptr<Shared> m_shared;
  bool m_quitSeen = false;  // WM_QUIT came through this loop (posted again for the outer one)
};

}  // namespace pv::update::win32
