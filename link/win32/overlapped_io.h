// Bounded overlapped reads and writes on a receiver handle (any handle opened
// with FILE_FLAG_OVERLAPPED). Each operation has its own record, event and
// buffer on the heap: an operation the driver has not finished when we stop
// waiting for it keeps them, and nothing of ours is reused under it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/kernel_handles.h"
#include "link/core/link_ports.h"

namespace pv::link::win32 {

// Reports are at most 24 bytes; room for any HID report a receiver may send.
inline constexpr std::size_t kMaxReportBytes = 64;
// A write to a receiver completes in milliseconds; one that takes longer has
// stalled and counts as failed.
inline constexpr DWORD kWriteTimeoutMs = 1000;
// A cancelled operation completes quickly; this bounds a misbehaving driver.
inline constexpr DWORD kCancelWaitMs = 1000;

struct OverlappedSlot {
  OVERLAPPED overlapped{};
  CHandle event;
  std::uint8_t buffer[kMaxReportBytes] = {};
};

// Writes all `length` bytes within `timeoutMs`; a write still pending then is
// cancelled and reported as failed. False also for a short write.
bool WriteBounded(HANDLE file, const std::uint8_t* data, std::size_t length,
                  DWORD timeoutMs = kWriteTimeoutMs);

// One read at a time on one handle, woken early by `wake` (a manual-reset
// event the stop request sets).
class COverlappedReader {
 public:
  explicit COverlappedReader(HANDLE wake) : m_wake(wake) {}
  COverlappedReader(const COverlappedReader&) = delete;
  COverlappedReader& operator=(const COverlappedReader&) = delete;

  // Issues a read of `length` bytes (at most kMaxReportBytes).
  void Start(HANDLE file, std::size_t length);
  // Waits for the read; on Completed copies what came into `out` (at most
  // the length asked for) and sets `bytesRead`. A read that completed with
  // an error is Failed.
  ReadWait Wait(HANDLE file, DWORD timeoutMs, std::uint8_t* out, std::size_t& bytesRead);
  // Cancels a pending read and waits (bounded) for it to finish. A read that
  // has not finished by then keeps its slot; the next read gets a fresh one.
  void Cancel(HANDLE file);
  // The connection ends (its handle is about to close): a read still pending
  // keeps its slot, the next connection starts with a fresh one.
  void Abandon();
  // Slots kept for reads that never confirmed their end.
  std::size_t AbandonedSlots() const { return m_abandoned.size(); }

 private:
  void Retire();

  HANDLE m_wake;
  std::unique_ptr<OverlappedSlot> m_slot;
  std::vector<std::unique_ptr<OverlappedSlot>> m_abandoned;
  std::size_t m_length = 0;
  bool m_pending = false;
  bool m_failed = false;
};

}  // namespace pv::link::win32
