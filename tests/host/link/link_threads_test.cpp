// The link's two threads at once, for ThreadSanitizer (preset "tsan"): a real
// worker thread reads an endless stream of reports while this thread, as the
// window thread does, starts and stops the timer under the link's mutex and
// sets the flags the worker picks up. Every report written from either side
// must be a whole, valid output report, and the exit handshake must finish.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/core/hid_link.h"
#include "link/core/memory_scene_store.h"
#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

// Real time, shortened: worker sleeps last a tenth of their nominal length.
class ShortClock final : public ILinkClock {
 public:
  std::uint32_t TickCount() override { return m_tick; }
  LocalTime Now() override {
    const std::uint32_t ms = m_tick;
    return {2026,
            3,
            9,
            10,
            static_cast<std::uint16_t>(ms / 60000 % 60),
            static_cast<std::uint16_t>(ms / 1000 % 60),
            static_cast<std::uint16_t>(ms % 1000)};
  }
  void Sleep(std::uint32_t ms) override {
    std::this_thread::sleep_for(std::chrono::microseconds(ms * 100));
    m_tick += ms;
  }
  bool SleepUnlessWoken(std::uint32_t ms) override {
    for (std::uint32_t slept = 0; slept < ms && !m_woken; slept += 10) Sleep(10);
    return !m_woken;
  }
  void Wake() override { m_woken = true; }
  std::atomic<std::uint32_t> m_tick{100000};
  std::atomic<bool> m_woken{false};
};

// A receiver that always has the next report ready: state requests, key
// presses and releases in turn. Write may come from either thread.
class StreamingReceiver final : public IReceiverTransport {
 public:
  HidClassGuid HidGuid() override { return {}; }
  void BeginDiscovery() override { m_offered = false; }
  bool NextInterface(InterfaceAttributes& attributes) override {
    if (m_offered) return false;
    m_offered = true;
    attributes = {true, 0x0C45, 0x8101};
    return true;
  }
  bool QueryCaps(ReceiverCaps& caps) override {
    caps = {0xFF00, 0x0001, 10, 9};
    return true;
  }
  void RejectInterface() override {}
  void AcceptInterface() override {}
  void EndDiscovery() override {}
  void OpenWrite() override { m_writeOpen = true; }
  void OpenRead() override {}
  bool IsWriteOpen() const override { return m_writeOpen; }
  void StartRead(std::uint8_t* buffer, std::size_t length) override {
    m_buffer = buffer;
    m_length = length;
  }
  ReadWait WaitRead(std::uint32_t, std::size_t& bytesRead) override {
    bytesRead = 0;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (m_woken) return ReadWait::Woken;
    static const Bytes kReports[] = {MakeStateRequest(),   MakeStatus(ST_EFFECT_KEY),
                                     MakeStatus(0),        MakeStatus(ST_SCENE_KEY | ST_LOW_BATTERY),
                                     MakeStatus(ST_LATCH), MakeStatus(ST_ALERT_ACK)};
    const Bytes& report = kReports[m_reads++ % std::size(kReports)];
    for (std::size_t i = 0; i < report.size() && i < m_length; ++i) m_buffer[i] = report[i];
    bytesRead = std::min(report.size(), m_length);
    return ReadWait::Completed;
  }
  void WakeWaits() override { m_woken = true; }
  std::wstring DevicePath() const override { return L"\\\\?\\HID#VID_0C45&PID_8101#SIM"; }
  void CancelRead() override {}
  void ResetReadEvent() override {}
  bool Write(const std::uint8_t* report, std::size_t length) override {
    std::lock_guard lock(m_mutex);
    m_writes.emplace_back(report, report + length);
    return true;
  }
  void Close() override { m_writeOpen = false; }

  std::vector<Bytes> Writes() {
    std::lock_guard lock(m_mutex);
    return m_writes;
  }

 private:
  bool m_offered = false;
  std::atomic<bool> m_woken{false};
  std::atomic<bool> m_writeOpen{false};
  std::uint8_t* m_buffer = nullptr;
  std::size_t m_length = 0;
  std::size_t m_reads = 0;
  std::mutex m_mutex;
  std::vector<Bytes> m_writes;
};

TEST(LinkThreads, TimerStartsOnTheWindowThreadWhileTheWorkerPasses) {
  ShortClock clock;
  FakeSink sink;
  StreamingReceiver receiver;
  CMemorySceneStore scenes;
  CHidLink link;
  LinkInternals worker{link};
  link.Start({&receiver, &clock, &sink, &scenes});
  link.SetNotifyWindow(0x4242);
  link.ArmKeysFrom(clock.TickCount());

  // Wait until the worker is connected and the radio is up.
  for (int i = 0; i < 2000 && !link.Snapshot().rfLinked; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(link.Snapshot().rfLinked) << "the worker never linked";

  for (int round = 0; round < 400; ++round) {
    ASSERT_TRUE(link.TryStartTimer(round % 3 != 0, 0, static_cast<std::uint32_t>(60 * (round % 50)),
                                   std::chrono::seconds(5)));
    link.SetPointerSpeed(static_cast<std::uint8_t>(round % 101));
    if (round % 7 == 0) link.SetEffectLatched();
    if (round % 11 == 0) link.RequestResend();
    link.SetBlackScreen(round % 13 == 0);
    (void)link.Snapshot();
    (void)link.TimerRunning(std::chrono::seconds(5));
    (void)worker.m_remainingMinutes.load();
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  EXPECT_TRUE(link.StopAndWait());

  const auto writes = receiver.Writes();
  ASSERT_GT(writes.size(), 400u) << "the timer starts and the state requests are each answered";
  for (std::size_t i = 1; i < writes.size(); ++i) {  // the first is the hello
    ASSERT_EQ(writes[i].size(), 9u);
    const PlainOutput plain = Unmask(writes[i]);
    ASSERT_TRUE(plain.checksumValid) << "report " << i << " was torn";
    ASSERT_EQ(plain.marker, OUT_MARKER);
    ASSERT_LT(plain.scene & 0x0F, kSceneCount);
    ASSERT_LE(plain.speed, 100);
  }
  for (const auto& message : sink.Take()) {
    if (message.message == UM_LINK_KEYS &&
        (message.wparam == ToWParam(KeyEvent::kDown) || message.wparam == ToWParam(KeyEvent::kLatch))) {
      ASSERT_LT(message.lparam, kSceneCount);
    }
  }
}

}  // namespace
}  // namespace pv::link::test
