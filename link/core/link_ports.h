// What the receiver link needs from the platform, as small interfaces the
// link owns. The Win32 side implements them in link/win32; tests implement
// them with fakes so the worker runs without a receiver and without waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/core/local_time.h"

namespace pv::link {

// Same layout as the platform's GUID.
struct HidClassGuid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::uint8_t data4[8] = {};
};

// Vendor and product of one enumerated HID interface.
struct InterfaceAttributes {
  bool valid = false;  // the attributes could be read at all
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
};

// Top-level collection and report lengths (report ID byte included).
struct ReceiverCaps {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::uint16_t inputReportByteLength = 0;
  std::uint16_t outputReportByteLength = 0;
};

// Completed: the read finished without error (bytesRead tells how much came);
// TimedOut: nothing within the wait; Failed: the read or the wait failed (the
// receiver is gone); Woken: WakeWaits ended the wait (the worker is stopping).
enum class ReadWait { Completed, TimedOut, Failed, Woken };

// One receiver connection at a time. Discovery walks the interfaces in
// enumeration order; the link decides which one to take. Reads are
// overlapped-style: StartRead issues a read into a buffer that stays valid
// until WaitRead reports it or the handles are closed.
//
// Threads: everything runs on the link's worker, except Write, which the
// user-interface thread may call (under the link's mutex) while the worker
// waits in WaitRead; implementations must allow that one overlap.
class IReceiverTransport {
 public:
  virtual ~IReceiverTransport() = default;

  virtual HidClassGuid HidGuid() = 0;

  // Discovery: Begin, then NextInterface until it returns false or an
  // interface is accepted, then End. Each interface that NextInterface
  // returned is either rejected (its probe handle closed) or accepted.
  virtual void BeginDiscovery() = 0;
  virtual bool NextInterface(InterfaceAttributes& attributes) = 0;
  virtual bool QueryCaps(ReceiverCaps& caps) = 0;
  virtual void RejectInterface() = 0;
  virtual void AcceptInterface() = 0;
  virtual void EndDiscovery() = 0;

  // Open the accepted interface for writing and for reading. Failure leaves
  // the handle closed; the first read then fails or times out.
  virtual void OpenWrite() = 0;
  virtual void OpenRead() = 0;

  virtual bool IsWriteOpen() const = 0;
  virtual void StartRead(std::uint8_t* buffer, std::size_t length) = 0;
  // On Completed, `bytesRead` is the number of bytes the read delivered.
  virtual ReadWait WaitRead(std::uint32_t timeoutMs, std::size_t& bytesRead) = 0;
  // Ends a read wait in progress at once, and every later one (ReadWait::Woken).
  // Any thread; used by the stop request, so the worker is never left in a
  // 3-second wait while the exit waits for it.
  virtual void WakeWaits() = 0;
  virtual void CancelRead() = 0;
  // After every read wait, whatever its outcome.
  virtual void ResetReadEvent() = 0;
  // Bounded (about a second): a write that cannot complete in that time is
  // cancelled and fails, so no caller holding the link's mutex can block for
  // ever on a stalled receiver.
  virtual bool Write(const std::uint8_t* report, std::size_t length) = 0;
  // The device path of the open receiver interface; empty while none is
  // open (or when the transport has no paths). Worker thread.
  virtual std::wstring DevicePath() const = 0;

  // Closes the probe, write and read handles (whichever are open).
  virtual void Close() = 0;
};

class ILinkClock {
 public:
  virtual ~ILinkClock() = default;
  // Milliseconds since an arbitrary start, wrapping at 32 bits.
  virtual std::uint32_t TickCount() = 0;
  virtual LocalTime Now() = 0;
  // A plain sleep (the exit's polls).
  virtual void Sleep(std::uint32_t ms) = 0;
  // The worker's pauses (settle delay, pass spacing): false when Wake ended
  // it early. Once woken, every later pause returns false at once.
  virtual bool SleepUnlessWoken(std::uint32_t ms) = 0;
  // Any thread.
  virtual void Wake() = 0;
};

// Posts a message to a window without waiting for it to be handled.
class ILinkMessageSink {
 public:
  virtual ~ILinkMessageSink() = default;
  virtual void Post(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                    std::intptr_t lparam) = 0;
};

// Where the remote's current scene is kept between runs (setting
// "LastScene").
class ISceneStore {
 public:
  virtual ~ISceneStore() = default;
  // False when no value is stored or it cannot be read.
  virtual bool ReadLastScene(std::uint32_t& value) = 0;
  virtual void WriteLastScene(std::uint32_t value) = 0;
};

// The four ports together; each must outlive the link's worker.
struct LinkPlatform {
  IReceiverTransport* transport = nullptr;
  ILinkClock* clock = nullptr;
  ILinkMessageSink* sink = nullptr;
  ISceneStore* scenes = nullptr;
};

}  // namespace pv::link
