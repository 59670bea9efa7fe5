#include "link/win32/overlapped_io.h"

#include <algorithm>
#include <cstring>

namespace pv::link::win32 {
namespace {

std::unique_ptr<OverlappedSlot> NewSlot() {
  auto slot = std::make_unique<OverlappedSlot>();
  slot->event = CreateEventHandle(true, false);
  slot->overlapped.hEvent = slot->event.Get();
  return slot;
}

}  // namespace

bool WriteBounded(HANDLE file, const std::uint8_t* data, std::size_t length, DWORD timeoutMs) {
  if (file == INVALID_HANDLE_VALUE || length > kMaxReportBytes) return false;
  auto slot = NewSlot();
  if (!slot->event) return false;
  std::memcpy(slot->buffer, data, length);
  const DWORD size = static_cast<DWORD>(length);
  DWORD written = 0;
  if (!WriteFile(file, slot->buffer, size, nullptr, &slot->overlapped)) {
    if (GetLastError() != ERROR_IO_PENDING) return false;
    if (WaitForSingleObject(slot->event.Get(), timeoutMs) != WAIT_OBJECT_0) {
      CancelIo(file);
      if (WaitForSingleObject(slot->event.Get(), kCancelWaitMs) != WAIT_OBJECT_0) {
        // The driver still owns the record and buffer: leave them to it.
        slot.release();
        return false;
      }
      GetOverlappedResult(file, &slot->overlapped, &written, FALSE);
      return false;  // timed out, whatever went through meanwhile
    }
  }
  return GetOverlappedResult(file, &slot->overlapped, &written, FALSE) && written == size;
}

void COverlappedReader::Start(HANDLE file, std::size_t length) {
  m_failed = false;
  m_length = std::min(length, kMaxReportBytes);
  if (m_pending) Retire();  // never reuse a slot a read may still land in
  if (!m_slot) m_slot = NewSlot();
  ResetEvent(m_slot->event.Get());
  m_slot->overlapped = {};
  m_slot->overlapped.hEvent = m_slot->event.Get();
  if (file == INVALID_HANDLE_VALUE || !m_slot->event) {
    m_failed = true;
    return;
  }
  if (ReadFile(file, m_slot->buffer, static_cast<DWORD>(m_length), nullptr, &m_slot->overlapped) ||
      GetLastError() == ERROR_IO_PENDING) {
    m_pending = true;  // also when done at once: the event is set, Wait collects it
  } else {
    m_failed = true;
  }
}

ReadWait COverlappedReader::Wait(HANDLE file, DWORD timeoutMs, std::uint8_t* out, std::size_t& bytesRead) {
  bytesRead = 0;
  if (m_failed || !m_slot || !m_pending) {
    // Nothing to wait for; still honour a stop request.
    return WaitForSingleObject(m_wake, 0) == WAIT_OBJECT_0 ? ReadWait::Woken : ReadWait::Failed;
  }
  const HANDLE events[2] = {m_slot->event.Get(), m_wake};
  switch (WaitForMultipleObjects(2, events, FALSE, timeoutMs)) {
    case WAIT_OBJECT_0: {
      m_pending = false;
      DWORD got = 0;
      if (!GetOverlappedResult(file, &m_slot->overlapped, &got, FALSE)) return ReadWait::Failed;
      const std::size_t copied = std::min<std::size_t>(got, m_length);
      std::memcpy(out, m_slot->buffer, copied);
      bytesRead = copied;
      return ReadWait::Completed;
    }
    case WAIT_OBJECT_0 + 1:
      return ReadWait::Woken;
    case WAIT_TIMEOUT:
      return ReadWait::TimedOut;
    default:
      return ReadWait::Failed;
  }
}

void COverlappedReader::Cancel(HANDLE file) {
  if (!m_pending || !m_slot) return;
  if (file != INVALID_HANDLE_VALUE) CancelIo(file);
  if (WaitForSingleObject(m_slot->event.Get(), kCancelWaitMs) == WAIT_OBJECT_0) {
    m_pending = false;
  } else {
    Retire();
  }
}

void COverlappedReader::Abandon() {
  if (m_pending) Retire();
}

void COverlappedReader::Retire() {
  // The read may still complete into this slot: keep it alive, out of use.
  if (m_slot) m_abandoned.push_back(std::move(m_slot));
  m_pending = false;
}

}  // namespace pv::link::win32
