// CHidLink: the receiver link service.
//
// Owns the connection to the remote's USB receiver and a worker thread that
// keeps it open, reads the masked input reports, turns them into UM_LINK_*
// messages (link_messages.h) for the notification window, answers state
// requests and keeps the presentation timer.
//
// Contract:
// - One link per process, created by the application and handed to the
//   windows that use it. It must outlive its worker: a worker that has not
//   acknowledged the stop (StopAndWait false) may still be in a read wait
//   while the process ends, so such a link is never destroyed.
// - Start and StopAndWait belong to the application: Start runs the worker
//   once (the ports must outlive it), StopAndWait waits at most 50 x 100 ms.
// - Every other public operation is for the user-interface thread and never
//   blocks for longer than the timeout it is given: the flags it sets are
//   picked up by the worker on its next pass, the timer operations take the
//   link's lock with a bounded wait.
// - Threads: the worker alone opens, reads and closes the receiver and
//   derives the events. Every output report is built and written under the
//   link's lock, so reports from the two threads never interleave.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "link/core/link_messages.h"
#include "link/core/link_ports.h"
#include "link/core/report_codec.h"

namespace pv::link::test {
class LinkInternals;
}

namespace pv::link {

// The link's state as the window shows it, read in one call.
struct LinkSnapshot {
  bool receiverPresent = false;  // the receiver was found and opened
  bool rfLinked = false;         // accepted reports arrive from the remote
  bool lowBattery = false;       // the low-battery state last posted (UM_LINK_STATE_BIT)
};

class CHidLink {
 public:
  // Timing of the worker, in milliseconds.
  static constexpr std::uint32_t kReadTimeoutMs = 3000;
  static constexpr std::uint32_t kSettleDelayMs = 2000;
  static constexpr std::uint32_t kAbsentRetryMs = 200;
  static constexpr std::uint32_t kConnectedPassMs = 8;
  static constexpr std::uint32_t kArmDelayMs = 200;
  static constexpr std::uint32_t kStopPollMs = 100;
  static constexpr int kStopPolls = 50;

  // Identification of the receiver's vendor-defined collection.
  static constexpr std::uint16_t kVendorId = 0x0C45;
  static constexpr std::uint16_t kProductId = 0x8101;
  static constexpr std::uint32_t kCollection = 0xFF0001;  // usage page * 256 + usage

  CHidLink() = default;
  CHidLink(const CHidLink&) = delete;
  CHidLink& operator=(const CHidLink&) = delete;

  // Reads the stored scene, fills the HID class GUID and starts the worker.
  // The worker runs until StopAndWait and is never restarted: later calls
  // do nothing.
  void Start(const LinkPlatform& platform);

  // Exit handshake: asks a running worker to stop, wakes it out of a read
  // wait or a pause, and polls every 100 ms, at most 50 times, for its
  // acknowledgement. True when the worker finished (or never ran).
  bool StopAndWait();

  // ---- The window's side ---------------------------------------------------
  // Window (an HWND) that receives the UM_LINK_* messages; 0 = post nothing.
  void SetNotifyWindow(std::uintptr_t window) { m_hNotifyWnd = window; }
  // Key-status reports act only from 200 ms after this tick count.
  void ArmKeysFrom(std::uint32_t tickCount) { m_armTick = tickCount; }
  LinkSnapshot Snapshot() const;
  // HID interface class GUID, filled in Start (for device notifications).
  HidClassGuid HidGuid() const { return m_hidGuid; }

  // True when a removed device interface is the receiver the link has open
  // (see RemovalConcernsOpenReceiver in device_path.h). Upper-cases the path.
  bool RemovalConcernsOpenReceiver(wchar_t* path) const;

  // The effect controller and the settings page; the worker acts on each
  // within one pass. Drop the latch and send a report; the effect is
  // latched; the black screen shows (key-status reports are ignored
  // meanwhile); the pointer speed 0-100 sent to the remote.
  void RequestResend() { m_bResendRequest = 1; }
  void SetEffectLatched() { m_bEffectLatched = 1; }
  void SetBlackScreen(bool shown) { m_bBlackScreen = shown ? 1 : 0; }
  void SetPointerSpeed(std::uint8_t speed) { m_pointerSpeed = speed; }

  // StartTimer under the link's lock, waiting at most `timeout` for it (a
  // write to a receiver that does not answer keeps the worker inside it).
  // False, and nothing changed, when the lock was not to be had in time.
  bool TryStartTimer(bool on, std::int64_t start, std::uint32_t seconds, std::chrono::milliseconds timeout);
  // Whether the timer runs, read under the lock (so a running expiry check
  // has finished); empty when the lock was not to be had in time.
  std::optional<bool> TimerRunning(std::chrono::milliseconds timeout);

 private:
  // Tests drive the worker's operations one by one and look at its state.
  friend class test::LinkInternals;

  // m_stopState values.
  static constexpr std::uint32_t kRunning = 0;
  static constexpr std::uint32_t kStopRequested = 1;
  static constexpr std::uint32_t kFinished = 2;

  // Sets (on, seconds > 0) or clears the presentation timer; `start` is in
  // seconds since 1970 by LocalTimeToSeconds, 0 = now. Withdraws a pending
  // alert and, while the radio link is up, sends a report at once. The
  // caller holds m_hMutex.
  void StartTimer(bool on, std::int64_t start, std::uint32_t seconds);

  // Worker operations.
  // Unmasks and validates an input report; records m_command and m_status.
  bool DecodeInputReport(std::uint8_t (&report)[kInputBufferSize]);
  // Fills and masks bytes 0-8; stores the remaining minutes it computed.
  void BuildOutputReport(std::uint8_t (&report)[kOutputBufferSize]);
  void HandleReport();
  void ReadReport();
  void WriteReport();
  void CloseHandles();
  bool OpenDevice();
  void TimerTick();
  // One pass of the worker loop; Run repeats it until a stop is requested.
  void RunPass();
  void Run();

  void Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
  void PostKeys(KeyEvent event, std::intptr_t lparam) { Post(UM_LINK_KEYS, ToWParam(event), lparam); }
  void PostSizeStep(SizeStep step) { Post(UM_LINK_SIZE_STEP, ToWParam(step), 0); }
  // KeyEvent::kUp for a latched effect, else for a held key, else nothing.
  void PostEffectEnd();
  bool InterfaceAcceptable(const InterfaceAttributes& attributes);
  bool ConnectAccepted();
  void OnWriteFailed();
  void DropConnection();
  void SetOpenDevicePath(std::wstring path);
  void HandleBlackScreen();
  void HandleKeyStatus();
  void PostStateBitChange();
  void ReadStoredScene();
  bool OnWorkerThread() const { return m_workerId.load() == std::this_thread::get_id(); }
  // Takes m_hMutex within `timeout`; false when it is not to be had.
  bool LockWithin(std::chrono::milliseconds timeout);

  // ---- Shared with the user-interface thread -----------------------------
  std::atomic<std::uintptr_t> m_hNotifyWnd{0};
  // Tick count of the main window's initialisation; 0 = not yet.
  std::atomic<std::uint32_t> m_armTick{0};
  // kRunning, kStopRequested (StopAndWait), kFinished (worker).
  std::atomic<std::uint32_t> m_stopState{kRunning};
  // Read by the window (Snapshot).
  std::atomic<std::uint8_t> m_bReceiverPresent{0};
  std::atomic<std::uint8_t> m_bRfLinked{0};
  std::atomic<std::uint8_t> m_bStateBitPosted{0};
  // Written by the window.
  std::atomic<std::uint8_t> m_bResendRequest{0};
  std::atomic<std::uint8_t> m_bEffectLatched{0};
  std::atomic<std::uint8_t> m_bBlackScreen{0};
  std::atomic<std::uint8_t> m_pointerSpeed{50};
  // Guards the timer and every report build and write. Recursive because the
  // timer operations write a report while already holding it.
  std::recursive_mutex m_hMutex;
  HidClassGuid m_hidGuid{};

  // ---- Presentation timer (written under m_hMutex) -------------------------
  std::atomic<std::uint8_t> m_bTimerRunning{0};
  std::atomic<std::uint8_t> m_bTimerAlert{0};
  std::atomic<std::uint16_t> m_remainingMinutes{0};
  std::atomic<std::uint32_t> m_timerSeconds{0};
  std::atomic<std::int64_t> m_timerStart{0};

  // ---- Worker state --------------------------------------------------------
  LinkPlatform m_platform{};
  ReceiverCaps m_caps{};
  std::uint8_t m_inReport[kInputBufferSize] = {};
  std::uint8_t m_outReport[kOutputBufferSize] = {};
  std::atomic<bool> m_bConnected{false};
  std::atomic<std::uint8_t> m_bArmed{0};
  std::atomic<std::uint8_t> m_bKeyDown{0};
  std::atomic<std::uint8_t> m_scene{SCENE_SPOTLIGHT};
  std::atomic<std::uint8_t> m_bStateBit{0};
  std::uint16_t m_status = 0;
  std::uint8_t m_command = 0;
  std::uint16_t m_prevStatus = 0xFFFF;

  // A write that failed on the UI thread: the worker closes the handles, so
  // they are never closed under its pending read.
  std::atomic<bool> m_bWriteFailed{false};
  std::atomic<bool> m_bStarted{false};
  // Path of the open receiver interface, for the UI's removal notices.
  mutable std::mutex m_pathMutex;
  std::wstring m_openDevicePath;
  std::atomic<std::thread::id> m_workerId{};
};

}  // namespace pv::link
