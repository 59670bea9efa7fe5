// CHidLink: the receiver link service.
//
// One process-wide object (Instance()) owns the connection to the remote's
// USB receiver and a worker thread that keeps it open, reads the masked input
// reports, turns them into UM_LINK_* messages for the notification window,
// answers state requests and keeps the presentation timer.
//
// Use from the application (Win32 ports: link/win32/link_platform.h):
//
//   auto& link = pv::link::CHidLink::Instance();
//   link.Start(pv::link::win32::DefaultLinkPlatform(sceneStore));  // then Sleep(100)
//     // DefaultLinkPlatform picks the simulated receiver when
//     // PRESENTER_VELA_RECEIVER=tcp:127.x.x.x:PORT, else the HID receiver;
//     // sceneStore is any ISceneStore (setting "LastScene") that lives on.
//   // main window initialisation:
//   link.m_hNotifyWnd = reinterpret_cast<std::uintptr_t>(hwnd);  // UM_LINK_* go here
//   link.ArmKeysFrom(GetTickCount());                             // keys act 200 ms later
//   bool present = link.m_bReceiverPresent, linked = link.m_bRfLinked;
//   RegisterDeviceNotificationW(... class GUID from link.m_hidGuid ...);
//   // WM_DEVICECHANGE / DBT_DEVICEREMOVECOMPLETE:
//   if (link.MatchDevicePath(broadcast->dbcc_name)) { /* receiver gone */ }
//   // effect controller / settings page:
//   link.SetEffectLatched();  link.RequestResend();  link.SetBlackScreen(true);
//   link.SetPointerSpeed(75);
//   // one-second timer: link.m_bStateBitPosted (low battery)
//   // timer page:
//   { std::lock_guard lock(link.m_hMutex); link.StartTimer(true, storedStart, seconds); }
//   // exit:
//   link.StopAndWait();  // m_stopState 0 -> 1, polls 50 x 100 ms for 2
//
// Threads: the worker alone opens, reads and closes the receiver and runs
// HandleReport. The user-interface thread talks to it only through the
// atomic flags in the first section below, StartTimer (under m_hMutex) and
// MatchDevicePath. Every output report is built and written under m_hMutex,
// so reports from the two threads never interleave.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "link/core/link_messages.h"
#include "link/core/link_ports.h"
#include "link/core/report_codec.h"

namespace pv::link {

class CHidLink {
 public:
  // m_stopState values.
  static constexpr std::uint32_t kRunning = 0;
  static constexpr std::uint32_t kStopRequested = 1;
  static constexpr std::uint32_t kFinished = 2;

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

  // The process-wide link; created on first use and never destroyed, so a
  // worker still in a read wait at exit never touches a dead object.
  static CHidLink& Instance();

  CHidLink() = default;
  CHidLink(const CHidLink&) = delete;
  CHidLink& operator=(const CHidLink&) = delete;

  // Resets the state, reads the stored scene, fills m_hidGuid and starts the
  // worker thread. The worker runs until StopAndWait and is never restarted:
  // later calls do nothing. The ports must outlive the worker (the Win32
  // ones from DefaultLinkPlatform live to process end). Always returns 1.
  int Start(const LinkPlatform& platform);

  // Exit handshake: asks a running worker to stop, wakes it out of a read
  // wait or a pause, and polls every 100 ms, at most 50 times, for its
  // acknowledgement. True when the worker finished.
  bool StopAndWait();

  // Sets (on, seconds > 0) or clears the presentation timer; `start` is in
  // seconds since 1970 by LocalTimeToSeconds, 0 = now. Withdraws a pending
  // alert and, while the radio link is up, sends a report at once.
  // The caller holds m_hMutex.
  void StartTimer(bool on, std::int64_t start, std::uint32_t seconds);

  // True when a device interface path names a HID interface of the receiver.
  // Upper-cases the path in place. UI thread.
  bool MatchDevicePath(wchar_t* path) const;
  // True when a removed device interface is the receiver the link has open
  // (see RemovalConcernsOpenReceiver). Upper-cases the path. UI thread.
  bool RemovalConcernsOpenReceiver(wchar_t* path) const;

  // ---- What the user interface tells the worker ---------------------------
  // Named operations over the flags below; the worker picks each up on its
  // next pass. UI thread.
  void ArmKeysFrom(std::uint32_t tickCount) { m_armTick = tickCount; }
  void RequestResend() { m_bResendRequest = 1; }
  void SetEffectLatched() { m_bEffectLatched = 1; }
  void SetBlackScreen(bool shown) { m_bBlackScreen = shown ? 1 : 0; }
  void SetPointerSpeed(std::uint8_t speed) { m_pointerSpeed = speed; }

  // ---- Shared with the user-interface thread -----------------------------
  // Window that receives the UM_LINK_* messages (an HWND); 0 = post nothing.
  std::atomic<std::uintptr_t> m_hNotifyWnd{0};
  // Tick count of the main window's initialisation; 0 = not yet. Key-status
  // reports act only from 200 ms after it.
  std::atomic<std::uint32_t> m_armTick{0};
  // kRunning, kStopRequested (set by the application), kFinished (worker).
  std::atomic<std::uint32_t> m_stopState{kRunning};
  // Read by the UI.
  std::atomic<std::uint8_t> m_bReceiverPresent{0};
  std::atomic<std::uint8_t> m_bRfLinked{0};
  std::atomic<std::uint8_t> m_bStateBitPosted{0};
  // Written by the UI: drop the latch and send a report; the effect is
  // latched; the black screen shows (key-status reports are ignored).
  std::atomic<std::uint8_t> m_bResendRequest{0};
  std::atomic<std::uint8_t> m_bEffectLatched{0};
  std::atomic<std::uint8_t> m_bBlackScreen{0};
  // Pointer speed 0-100 sent to the remote; 50 after Start.
  std::atomic<std::uint8_t> m_pointerSpeed{50};
  // Guards the timer and every report build and write. Recursive because the
  // timer operations write a report while already holding it; timed so the
  // user-interface thread can bound its wait (a write to a receiver that does
  // not answer keeps the worker inside it).
  std::recursive_timed_mutex m_hMutex;
  // HID interface class GUID, filled in Start (for device notifications).
  HidClassGuid m_hidGuid{};

  // ---- Presentation timer (written under m_hMutex) -------------------------
  std::atomic<std::uint8_t> m_bTimerRunning{0};
  std::atomic<std::uint8_t> m_bTimerAlert{0};
  std::atomic<std::uint16_t> m_remainingMinutes{0};
  std::atomic<std::uint32_t> m_timerSeconds{0};
  std::atomic<std::int64_t> m_timerStart{0};

  // ---- Worker operations (public so tests can drive them one by one) ----
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

 private:
  void Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
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
