#include "link/core/hid_link.h"

#include "link/core/device_path.h"
#include "link/core/local_time.h"
#include "link/core/timer_math.h"

namespace pv::link {

void CHidLink::Start(const LinkPlatform& platform) {
  if (m_bStarted.exchange(true)) return;  // one worker per link, for the process's life
  m_platform = platform;
  ReadStoredScene();
  // Filled before the worker runs, so the main window never asks for device
  // notifications with an all-zero class.
  m_hidGuid = m_platform.transport->HidGuid();
  std::thread([this] { Run(); }).detach();
}

void CHidLink::ReadStoredScene() {
  std::uint32_t stored = 0;
  if (!m_platform.scenes->ReadLastScene(stored)) return;
  if (stored < kSceneCount) {
    m_scene = static_cast<std::uint8_t>(stored);
  } else {
    m_platform.scenes->WriteLastScene(SCENE_SPOTLIGHT);
  }
}

bool CHidLink::StopAndWait() {
  if (m_platform.clock == nullptr) return true;  // never started
  std::uint32_t running = kRunning;
  m_stopState.compare_exchange_strong(running, kStopRequested);
  // Out of a read wait or the settle delay at once, so the worker stops well
  // within the polls below instead of after one more pass of up to 6 s.
  m_platform.clock->Wake();
  m_platform.transport->WakeWaits();
  for (int poll = 0; poll < kStopPolls; ++poll) {
    if (m_stopState == kFinished) return true;
    m_platform.clock->Sleep(kStopPollMs);
  }
  return m_stopState == kFinished;
}

LinkSnapshot CHidLink::Snapshot() const {
  return {m_bReceiverPresent != 0, m_bRfLinked != 0, m_bStateBitPosted != 0};
}

bool CHidLink::RemovalConcernsOpenReceiver(wchar_t* path) const {
  std::wstring open;
  {
    std::lock_guard lock(m_pathMutex);
    open = m_openDevicePath;
  }
  return pv::link::RemovalConcernsOpenReceiver(path, open, m_hidGuid);
}

void CHidLink::SetOpenDevicePath(std::wstring path) {
  std::lock_guard lock(m_pathMutex);
  m_openDevicePath = std::move(path);
}

void CHidLink::Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  const std::uintptr_t window = m_hNotifyWnd;
  if (window != 0) m_platform.sink->Post(window, message, wparam, lparam);
}

// ---------------------------------------------------------------- codec

bool CHidLink::DecodeInputReport(std::uint8_t (&report)[kInputBufferSize]) {
  const DecodedInput decoded = UnmaskInputReport(report);
  if (!decoded.accepted) return false;
  m_command = decoded.command;
  if (decoded.hasStatus) m_status = decoded.status;
  return true;
}

void CHidLink::BuildOutputReport(std::uint8_t (&report)[kOutputBufferSize]) {
  const LocalTime now = m_platform.clock->Now();
  const std::uint16_t minutes =
      RemainingMinutes(m_bTimerRunning != 0, m_timerStart, m_timerSeconds, LocalTimeToSeconds(now));
  m_remainingMinutes = minutes;
  OutputFields fields;
  fields.timerRunning = m_bTimerRunning != 0;
  fields.timerAlert = m_bTimerAlert != 0;
  fields.scene = m_scene;
  fields.latched = m_bEffectLatched != 0;
  fields.minutes = static_cast<std::uint8_t>(minutes & 0xFF);
  fields.pointerSpeed = m_pointerSpeed;
  EncodeOutputReport(fields, OutputKey(now.milliseconds, now.second), report);
}

// ---------------------------------------------------------------- events

void CHidLink::HandleReport() {
  switch (m_command) {
    case CMD_STATE_REQUEST:
      WriteReport();  // answered within the same pass
      return;
    case CMD_BLACK_SCREEN:
      HandleBlackScreen();
      return;
    default:
      HandleKeyStatus();
      return;
  }
}

void CHidLink::PostEffectEnd() {
  if (m_bEffectLatched) {
    m_bEffectLatched = 0;
    PostKeys(KeyEvent::kUp, ToLParam(KeyRelease::kLatch));
  } else if (m_bKeyDown) {
    m_bKeyDown = 0;
    PostKeys(KeyEvent::kUp, ToLParam(KeyRelease::kKey));
  }
}

void CHidLink::HandleBlackScreen() {
  PostEffectEnd();  // a running key effect ends before the black screen takes over
  PostKeys(KeyEvent::kBlackScreen, 1);
}

void CHidLink::HandleKeyStatus() {
  if (m_bBlackScreen) return;
  if (!m_bArmed) {
    // Until the main window has been up for a moment, keys do nothing; the
    // first status after that always counts as a change.
    const std::uint32_t armTick = m_armTick;
    if (armTick == 0 || m_platform.clock->TickCount() - armTick < kArmDelayMs) return;
    m_bArmed = 1;
    m_prevStatus = 0xFFFF;
  }
  if (m_status == m_prevStatus) return;
  m_prevStatus = m_status;

  if (m_status & ST_SCENE_KEY) {
    m_scene = static_cast<std::uint8_t>((m_scene + 1) % kSceneCount);
    m_platform.scenes->WriteLastScene(m_scene);
  }
  m_bStateBit = (m_status & ST_LOW_BATTERY) ? 1 : 0;
  if (m_status & ST_ALERT_ACK) m_bTimerAlert = 0;
  if (m_status & ST_SIZE_UP) {
    PostSizeStep(SizeStep::kLarger);
  } else if (m_status & ST_SIZE_DOWN) {
    PostSizeStep(SizeStep::kSmaller);
  }

  if (m_status & ST_LATCH) {  // the latch takes precedence over the effect key
    m_bKeyDown = 0;
    PostKeys(KeyEvent::kLatch, m_scene);
    return;
  }
  if (m_status & ST_EFFECT_KEY) {
    if (!m_bKeyDown || m_bEffectLatched) {
      m_bKeyDown = 1;
      PostKeys(KeyEvent::kDown, m_scene);
    }
    m_bEffectLatched = 0;
    return;
  }
  PostEffectEnd();
}

// ---------------------------------------------------------------- I/O

void CHidLink::CloseHandles() {
  std::lock_guard lock(m_hMutex);  // never under a write from the other thread
  m_platform.transport->Close();
  SetOpenDevicePath({});
}

void CHidLink::DropConnection() {
  CloseHandles();
  m_bRfLinked = 0;
  m_bConnected = false;
}

void CHidLink::OnWriteFailed() {
  m_bRfLinked = 0;
  if (OnWorkerThread()) {
    CloseHandles();
    m_bConnected = false;
  } else {
    m_bWriteFailed = true;
  }
}

void CHidLink::WriteReport() {
  std::lock_guard lock(m_hMutex);
  try {
    m_outReport[0] = 0;
    BuildOutputReport(m_outReport);
    IReceiverTransport& transport = *m_platform.transport;
    if (transport.IsWriteOpen() && !transport.Write(m_outReport, m_caps.outputReportByteLength)) {
      OnWriteFailed();
    }
  } catch (...) {
    OnWriteFailed();
  }
}

void CHidLink::ReadReport() {
  IReceiverTransport& transport = *m_platform.transport;
  try {
    m_inReport[0] = 0;
    transport.StartRead(m_inReport, m_caps.inputReportByteLength);
    std::size_t bytesRead = 0;
    switch (transport.WaitRead(kReadTimeoutMs, bytesRead)) {
      case ReadWait::Completed:
        // A short report is no report: what the buffer holds beyond it is
        // the previous one, which must not act twice.
        if (bytesRead >= m_caps.inputReportByteLength && DecodeInputReport(m_inReport)) {
          HandleReport();
          // A rejected report is no sign of the remote; an accepted one is,
          // unless answering it has just lost the receiver.
          if (m_bConnected) m_bRfLinked = 1;
        }
        break;
      case ReadWait::TimedOut:
      case ReadWait::Woken:  // stopping: the loop ends after this pass
        transport.CancelRead();
        DropConnection();
        break;
      case ReadWait::Failed:
        // The receiver is gone. Radio down now, so the UI hears of it at the
        // end of this pass rather than never (the failing opening attempts
        // that follow post only the receiver's absence).
        CloseHandles();
        m_bRfLinked = 0;
        m_bConnected = false;
        break;
    }
    transport.ResetReadEvent();
  } catch (...) {
    CloseHandles();
    m_bConnected = false;
    m_bRfLinked = 0;
  }
}

bool CHidLink::InterfaceAcceptable(const InterfaceAttributes& attributes) {
  if (!attributes.valid || attributes.vendorId != kVendorId || attributes.productId != kProductId)
    return false;
  ReceiverCaps caps;
  const bool readable = m_platform.transport->QueryCaps(caps);
  {
    std::lock_guard lock(m_hMutex);  // the UI thread's report writes read the lengths
    m_caps = readable ? caps : ReceiverCaps{};
  }
  if (!readable) return false;
  if (caps.usagePage != (kCollection >> 8) || caps.usage != (kCollection & 0xFF)) return false;
  // Refuse a receiver whose reports do not fit the buffers or are too short
  // for the fields read and written, so no read or write runs past a buffer.
  return caps.inputReportByteLength >= kMinInputReportLength &&
         caps.inputReportByteLength <= kInputBufferSize &&
         caps.outputReportByteLength >= kMinOutputReportLength &&
         caps.outputReportByteLength <= kOutputBufferSize;
}

bool CHidLink::ConnectAccepted() {
  IReceiverTransport& transport = *m_platform.transport;
  // The receiver needs time to settle; a stop request ends the wait and
  // the connection is not made.
  if (!m_platform.clock->SleepUnlessWoken(kSettleDelayMs)) return false;
  m_bConnected = true;
  {
    std::lock_guard lock(m_hMutex);
    transport.OpenWrite();
    // The hello: bytes 0-2 set, the rest as the buffer holds them.
    m_outReport[0] = m_outReport[1] = m_outReport[2] = 0xFF;
    if (transport.IsWriteOpen()) transport.Write(m_outReport, m_caps.outputReportByteLength);
    m_outReport[3] = m_outReport[4] = m_outReport[5] = 0xFF;
  }
  transport.OpenRead();
  SetOpenDevicePath(transport.DevicePath());
  return true;
}

bool CHidLink::OpenDevice() {
  IReceiverTransport& transport = *m_platform.transport;
  try {
    m_bWriteFailed = false;
    transport.BeginDiscovery();
    // The presence flag changes only once the attempt's outcome is known: a
    // receiver being reopened after a silent spell (settle delay included)
    // stays present for the window's periodic look at these flags.
    m_bRfLinked = 0;
    InterfaceAttributes attributes;
    while (transport.NextInterface(attributes)) {
      m_bConnected = false;
      if (!InterfaceAcceptable(attributes)) {
        transport.RejectInterface();
        continue;
      }
      transport.AcceptInterface();
      if (!ConnectAccepted()) CloseHandles();
      break;
    }
    transport.EndDiscovery();
    m_bReceiverPresent = m_bConnected ? 1 : 0;
    return m_bConnected;
  } catch (...) {
    CloseHandles();
    m_bConnected = false;
    m_bReceiverPresent = 0;
    m_bRfLinked = 0;
    return false;
  }
}

// ---------------------------------------------------------------- timer

bool CHidLink::LockWithin(std::chrono::milliseconds timeout) {
  // Polls rather than a timed lock: ThreadSanitizer does not see the timed
  // lock of every C library and would then take the unlock for a fault.
  constexpr std::chrono::milliseconds kPoll{1};
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!m_hMutex.try_lock()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

bool CHidLink::TryStartTimer(bool on, std::int64_t start, std::uint32_t seconds,
                             std::chrono::milliseconds timeout) {
  if (!LockWithin(timeout)) return false;
  std::lock_guard lock(m_hMutex, std::adopt_lock);
  StartTimer(on, start, seconds);
  return true;
}

std::optional<bool> CHidLink::TimerRunning(std::chrono::milliseconds timeout) {
  if (!LockWithin(timeout)) return std::nullopt;
  std::lock_guard lock(m_hMutex, std::adopt_lock);
  return m_bTimerRunning != 0;
}

void CHidLink::StartTimer(bool on, std::int64_t start, std::uint32_t seconds) {
  if (start == 0) start = LocalTimeToSeconds(m_platform.clock->Now());
  m_timerStart = start;
  m_timerSeconds = seconds;
  m_bTimerRunning = (on && seconds != 0) ? 1 : 0;
  m_bTimerAlert = 0;
  if (m_bRfLinked) WriteReport();
}

void CHidLink::TimerTick() {
  if (!m_bTimerRunning || m_timerSeconds == 0) {
    m_remainingMinutes = 0;
    return;
  }
  const std::int64_t end = m_timerStart + static_cast<std::int64_t>(m_timerSeconds.load());
  if (LocalTimeToSeconds(m_platform.clock->Now()) < end) return;
  Post(UM_LINK_TIMER_DUE, 0, 0);
  m_bTimerRunning = 0;
  m_bTimerAlert = 1;
  m_remainingMinutes = 0;
  m_timerSeconds = 0;
  m_timerStart = 0;
  WriteReport();  // carries the alert flag
}

// ---------------------------------------------------------------- worker

void CHidLink::PostStateBitChange() {
  if (m_bStateBit && !m_bStateBitPosted) {
    m_bStateBitPosted = 1;
    Post(UM_LINK_STATE_BIT, 1, 0);
  } else if (!m_bStateBit && m_bStateBitPosted) {
    m_bStateBitPosted = 0;
    Post(UM_LINK_STATE_BIT, 0, 0);
  }
}

void CHidLink::RunPass() {
  m_workerId = std::this_thread::get_id();
  const bool prevRf = m_bRfLinked != 0;
  const bool prevPresent = m_bReceiverPresent != 0;
  if (!m_bConnected && !OpenDevice()) {
    if (prevPresent) Post(UM_LINK_RECEIVER, 0, 0);
    m_platform.clock->SleepUnlessWoken(kAbsentRetryMs);
    return;
  }
  if (!prevPresent && m_bReceiverPresent) Post(UM_LINK_RECEIVER, 1, 0);
  if (m_bConnected) {
    ReadReport();
    if (m_bResendRequest.exchange(0)) {
      m_bEffectLatched = 0;
      WriteReport();
    }
    {
      std::lock_guard lock(m_hMutex);
      TimerTick();
    }
    if (m_bWriteFailed.exchange(false) && m_bConnected) {
      CloseHandles();
      m_bRfLinked = 0;
      m_bConnected = false;
    }
  }
  if (!m_bConnected) m_bStateBit = 0;
  PostStateBitChange();
  if (!prevRf && m_bRfLinked) Post(UM_LINK_RF, 1, 0);
  if (prevRf && !m_bRfLinked) Post(UM_LINK_RF, 0, 0);
  m_platform.clock->SleepUnlessWoken(kConnectedPassMs);
}

void CHidLink::Run() {
  m_workerId = std::this_thread::get_id();
  while (m_stopState == kRunning) RunPass();
  CloseHandles();
  m_stopState = kFinished;
}

}  // namespace pv::link
