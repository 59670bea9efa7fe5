// The link's private state and worker operations, for tests that drive the
// worker one pass (or one step) at a time on their own thread and look at
// what it left behind. Production code reaches the link only through its
// public operations.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "link/core/hid_link.h"

namespace pv::link::test {

class LinkInternals {
 public:
  static constexpr std::uint32_t kRunning = CHidLink::kRunning;
  static constexpr std::uint32_t kStopRequested = CHidLink::kStopRequested;
  static constexpr std::uint32_t kFinished = CHidLink::kFinished;

  explicit LinkInternals(CHidLink& link)
      : m_hNotifyWnd(link.m_hNotifyWnd),
        m_armTick(link.m_armTick),
        m_stopState(link.m_stopState),
        m_bReceiverPresent(link.m_bReceiverPresent),
        m_bRfLinked(link.m_bRfLinked),
        m_bStateBitPosted(link.m_bStateBitPosted),
        m_bResendRequest(link.m_bResendRequest),
        m_bEffectLatched(link.m_bEffectLatched),
        m_bBlackScreen(link.m_bBlackScreen),
        m_pointerSpeed(link.m_pointerSpeed),
        m_hMutex(link.m_hMutex),
        m_hidGuid(link.m_hidGuid),
        m_bTimerRunning(link.m_bTimerRunning),
        m_bTimerAlert(link.m_bTimerAlert),
        m_remainingMinutes(link.m_remainingMinutes),
        m_timerSeconds(link.m_timerSeconds),
        m_timerStart(link.m_timerStart),
        m_platform(link.m_platform),
        m_caps(link.m_caps),
        m_outReport(link.m_outReport),
        m_bConnected(link.m_bConnected),
        m_bArmed(link.m_bArmed),
        m_bKeyDown(link.m_bKeyDown),
        m_scene(link.m_scene),
        m_bStateBit(link.m_bStateBit),
        m_status(link.m_status),
        m_command(link.m_command),
        m_prevStatus(link.m_prevStatus),
        m_link(link) {}

  bool DecodeInputReport(std::uint8_t (&report)[kInputBufferSize]) {
    return m_link.DecodeInputReport(report);
  }
  void HandleReport() { m_link.HandleReport(); }
  void ReadReport() { m_link.ReadReport(); }
  void CloseHandles() { m_link.CloseHandles(); }
  bool OpenDevice() { return m_link.OpenDevice(); }
  void RunPass() { m_link.RunPass(); }
  void Run() { m_link.Run(); }

  std::atomic<std::uintptr_t>& m_hNotifyWnd;
  std::atomic<std::uint32_t>& m_armTick;
  std::atomic<std::uint32_t>& m_stopState;
  std::atomic<std::uint8_t>& m_bReceiverPresent;
  std::atomic<std::uint8_t>& m_bRfLinked;
  std::atomic<std::uint8_t>& m_bStateBitPosted;
  std::atomic<std::uint8_t>& m_bResendRequest;
  std::atomic<std::uint8_t>& m_bEffectLatched;
  std::atomic<std::uint8_t>& m_bBlackScreen;
  std::atomic<std::uint8_t>& m_pointerSpeed;
  std::recursive_mutex& m_hMutex;
  HidClassGuid& m_hidGuid;
  std::atomic<std::uint8_t>& m_bTimerRunning;
  std::atomic<std::uint8_t>& m_bTimerAlert;
  std::atomic<std::uint16_t>& m_remainingMinutes;
  std::atomic<std::uint32_t>& m_timerSeconds;
  std::atomic<std::int64_t>& m_timerStart;
  LinkPlatform& m_platform;
  ReceiverCaps& m_caps;
  std::uint8_t (&m_outReport)[kOutputBufferSize];
  std::atomic<bool>& m_bConnected;
  std::atomic<std::uint8_t>& m_bArmed;
  std::atomic<std::uint8_t>& m_bKeyDown;
  std::atomic<std::uint8_t>& m_scene;
  std::atomic<std::uint8_t>& m_bStateBit;
  std::uint16_t& m_status;
  std::uint8_t& m_command;
  std::uint16_t& m_prevStatus;

 private:
  CHidLink& m_link;
};

}  // namespace pv::link::test
