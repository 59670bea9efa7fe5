#include "update/win32/check_worker.h"

#include <atomic>
#include <thread>

#include "framework/kernel_handles.h"

namespace pv::update::win32 {

struct CCheckWorker::Shared {
  std::shared_ptr<CWinInetServer> server;  // kept alive for the job
  std::function<CheckVerdict()> job;
  CHandle finished{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<bool> done{false};
  CheckVerdict verdict = CheckVerdict::kFailed;  // written before `done`
};

CCheckWorker::CCheckWorker(std::shared_ptr<CWinInetServer> server, std::function<bool()> stopRequested)
    : m_server(std::move(server)), m_stopRequested(std::move(stopRequested)) {}

CCheckWorker::~CCheckWorker() {
  // A worker still under way is told to stop and left to end on its own.
  if (m_shared && !m_shared->done.load()) m_server->Abort();
}

std::uint64_t CCheckWorker::NowMs() {
  return ::GetTickCount64();
}

void CCheckWorker::Start(std::function<CheckVerdict()> job) {
  auto shared = std::make_shared<Shared>();
  shared->server = m_server;
  shared->job = std::move(job);
  m_shared = shared;
  std::thread([shared] {
    const CheckVerdict verdict = shared->job();
    shared->verdict = verdict;
    shared->done.store(true);
    ::SetEvent(shared->finished.Get());
  }).detach();
}

std::optional<CheckVerdict> CCheckWorker::Result() {
  if (!m_shared || !m_shared->done.load()) return std::nullopt;
  return m_shared->verdict;
}

// Waits for the worker or a message, then handles every message that is
// queued (sent messages such as WM_QUERYENDSESSION are handled inside the
// wait itself).
void CCheckWorker::WaitForEvents(std::uint32_t maxMs) {
  const HANDLE finished = m_shared ? m_shared->finished.Get() : nullptr;
  ::MsgWaitForMultipleObjectsEx(finished != nullptr ? 1 : 0, finished != nullptr ? &finished : nullptr, maxMs,
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  MSG msg{};
  while (!m_quitSeen && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      m_quitSeen = true;
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loops outside
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

bool CCheckWorker::StopRequested() {
  return m_quitSeen || (m_stopRequested && m_stopRequested());
}

void CCheckWorker::Abort() {
  m_server->Abort();
}

}  // namespace pv::update::win32
