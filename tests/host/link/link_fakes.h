// Fakes of the link's ports: a receiver that plays scripted interfaces and
// reports, a clock that only moves when slept, and a sink that records.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/core/hid_link.h"
#include "link/core/link_ports.h"
#include "link/core/memory_scene_store.h"
#include "tests/host/link/link_internals.h"

namespace pv::link::test {

using Bytes = std::vector<std::uint8_t>;

class FakeClock final : public ILinkClock {
 public:
  // 2026-01-15 10:00:00.250 local time.
  FakeClock() {
    std::tm start{};
    start.tm_year = 126;
    start.tm_mon = 0;
    start.tm_mday = 15;
    start.tm_hour = 10;
    start.tm_isdst = -1;
    m_epochMs = static_cast<std::int64_t>(std::mktime(&start)) * 1000 + 250;
  }
  std::uint32_t TickCount() override { return m_tick; }
  LocalTime Now() override {
    const std::int64_t ms = m_epochMs;
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm fields{};
    localtime_r(&seconds, &fields);
    return {static_cast<std::uint16_t>(fields.tm_year + 1900),
            static_cast<std::uint16_t>(fields.tm_mon + 1),
            static_cast<std::uint16_t>(fields.tm_mday),
            static_cast<std::uint16_t>(fields.tm_hour),
            static_cast<std::uint16_t>(fields.tm_min),
            static_cast<std::uint16_t>(fields.tm_sec),
            static_cast<std::uint16_t>(ms % 1000)};
  }
  // Instant, but real enough (10 us per ms) that a worker thread and a
  // waiting test thread both make progress.
  void Sleep(std::uint32_t ms) override {
    std::this_thread::sleep_for(std::chrono::microseconds(ms * 10));
    Advance(ms);
    ++m_sleeps;
    m_slept += ms;
  }
  // With m_blockFrom set, a pause of at least that many ms lasts until Wake
  // (at most 10 real seconds): a worker held in its settle delay.
  bool SleepUnlessWoken(std::uint32_t ms) override {
    if (m_woken) return false;
    if (m_duringPause) m_duringPause(ms);
    if (m_blockFrom != 0 && ms >= m_blockFrom) {
      std::unique_lock lock(m_wakeMutex);
      ++m_blockedPauses;
      m_wakeChanged.notify_all();
      return !m_wakeChanged.wait_for(lock, std::chrono::seconds(10), [&] { return m_woken.load(); });
    }
    Sleep(ms);
    return !m_woken;
  }
  void Wake() override {
    std::lock_guard lock(m_wakeMutex);
    m_woken = true;
    m_wakeChanged.notify_all();
  }
  // Waits (at most 10 real seconds) until a pause blocks.
  bool WaitUntilBlocked() {
    std::unique_lock lock(m_wakeMutex);
    return m_wakeChanged.wait_for(lock, std::chrono::seconds(10), [&] { return m_blockedPauses > 0; });
  }
  void Advance(std::int64_t ms) {
    m_tick += static_cast<std::uint32_t>(ms);
    m_epochMs += ms;
  }
  // Moves only the wall clock, as when the user sets it.
  void SetWallClockBack(std::int64_t ms) { m_epochMs -= ms; }
  std::int64_t NowSeconds() const { return m_epochMs / 1000; }
  void SetMilliseconds(std::uint16_t ms) { m_epochMs = m_epochMs / 1000 * 1000 + ms; }

  std::atomic<std::uint32_t> m_tick{100000};
  std::atomic<std::int64_t> m_epochMs{0};
  std::atomic<int> m_sleeps{0};
  std::atomic<std::uint64_t> m_slept{0};
  std::uint32_t m_blockFrom = 0;
  std::function<void(std::uint32_t)> m_duringPause;  // runs "while pausing" (e.g. the window looks)
  std::atomic<bool> m_woken{false};
  int m_blockedPauses = 0;
  std::mutex m_wakeMutex;
  std::condition_variable m_wakeChanged;
};

struct Message {
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  bool operator==(const Message&) const = default;
};

class FakeSink final : public ILinkMessageSink {
 public:
  void Post(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
            std::intptr_t lparam) override {
    std::lock_guard lock(m_mutex);
    m_windows.push_back(window);
    m_messages.push_back({message, wparam, lparam});
  }
  std::vector<Message> Take() {
    std::lock_guard lock(m_mutex);
    auto taken = std::move(m_messages);
    m_messages.clear();
    return taken;
  }

  std::mutex m_mutex;
  std::vector<Message> m_messages;
  std::vector<std::uintptr_t> m_windows;
};

struct FakeInterface {
  InterfaceAttributes attributes{true, 0x0C45, 0x8101};
  bool capsReadable = true;
  ReceiverCaps caps{0xFF00, 0x0001, 10, 9};
};

// One scripted outcome of a read wait.
struct ReadStep {
  ReadWait result = ReadWait::Completed;
  Bytes report;                  // copied into the read buffer when completed
  std::function<void()> during;  // runs "while waiting" (e.g. a stop request)
  bool untilWoken = false;       // the wait lasts until WakeWaits (at most 10 real seconds)
  long bytes = -1;               // bytes the read delivered; -1: the report's length
};

class FakeTransport final : public IReceiverTransport {
 public:
  HidClassGuid HidGuid() override {
    return {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
  }
  void BeginDiscovery() override {
    ++m_discoveries;
    m_next = 0;
  }
  bool NextInterface(InterfaceAttributes& attributes) override {
    if (m_next >= m_interfaces.size()) return false;
    m_current = m_next++;
    m_probeOpen = true;
    attributes = m_interfaces[m_current].attributes;
    return true;
  }
  bool QueryCaps(ReceiverCaps& caps) override {
    if (!m_interfaces[m_current].capsReadable) return false;
    caps = m_interfaces[m_current].caps;
    return true;
  }
  void RejectInterface() override {
    m_probeOpen = false;
    m_rejected.push_back(m_current);
  }
  void AcceptInterface() override { m_accepted.push_back(m_current); }
  void EndDiscovery() override {}
  void OpenWrite() override { m_writeOpen = m_writeOpens; }
  void OpenRead() override { m_readOpen = true; }
  bool IsWriteOpen() const override { return m_writeOpen; }
  void StartRead(std::uint8_t* buffer, std::size_t length) override {
    m_buffer = buffer;
    m_length = length;
    ++m_readsIssued;
  }
  ReadWait WaitRead(std::uint32_t timeoutMs, std::size_t& bytesRead) override {
    m_lastTimeout = timeoutMs;
    bytesRead = 0;
    if (m_woken) return ReadWait::Woken;
    if (m_reads.empty()) {
      if (m_clock) m_clock->Advance(timeoutMs);
      return ReadWait::TimedOut;
    }
    ReadStep step = std::move(m_reads.front());
    m_reads.pop_front();
    if (step.during) step.during();
    if (step.untilWoken) {
      std::unique_lock lock(m_wakeMutex);
      m_waiting = true;
      m_wakeChanged.notify_all();
      m_wakeChanged.wait_for(lock, std::chrono::seconds(10), [&] { return m_woken.load(); });
      return m_woken ? ReadWait::Woken : ReadWait::TimedOut;
    }
    if (m_woken) return ReadWait::Woken;
    bytesRead =
        step.bytes >= 0 ? static_cast<std::size_t>(step.bytes) : std::min(step.report.size(), m_length);
    if (step.result == ReadWait::TimedOut && m_clock) m_clock->Advance(timeoutMs);
    if (step.result == ReadWait::Completed) {
      for (std::size_t i = 0; i < step.report.size() && i < m_length; ++i) m_buffer[i] = step.report[i];
    }
    return step.result;
  }
  void WakeWaits() override {
    std::lock_guard lock(m_wakeMutex);
    m_woken = true;
    m_wakeChanged.notify_all();
  }
  bool WaitUntilReading() {
    std::unique_lock lock(m_wakeMutex);
    return m_wakeChanged.wait_for(lock, std::chrono::seconds(10), [&] { return m_waiting; });
  }
  std::wstring DevicePath() const override {
    return m_readOpen && m_current < m_paths.size() ? m_paths[m_current] : std::wstring();
  }
  void CancelRead() override { ++m_cancels; }
  void ResetReadEvent() override { ++m_resets; }
  bool Write(const std::uint8_t* report, std::size_t length) override {
    m_writes.emplace_back(report, report + length);
    return !m_failWrites;
  }
  void Close() override {
    m_probeOpen = m_writeOpen = m_readOpen = false;
    ++m_closes;
  }

  bool HandlesOpen() const { return m_probeOpen || m_writeOpen || m_readOpen; }
  void QueueReport(const Bytes& report) { m_reads.push_back({ReadWait::Completed, report, {}}); }

  FakeClock* m_clock = nullptr;
  std::vector<FakeInterface> m_interfaces;
  std::vector<std::wstring> m_paths;  // device path of each interface, if any
  std::atomic<bool> m_woken{false};
  bool m_waiting = false;
  std::mutex m_wakeMutex;
  std::condition_variable m_wakeChanged;
  std::deque<ReadStep> m_reads;
  std::vector<Bytes> m_writes;
  std::vector<std::size_t> m_rejected;
  std::vector<std::size_t> m_accepted;
  bool m_writeOpens = true;
  bool m_failWrites = false;
  bool m_probeOpen = false;
  bool m_writeOpen = false;
  bool m_readOpen = false;
  std::size_t m_next = 0;
  std::size_t m_current = 0;
  std::uint8_t* m_buffer = nullptr;
  std::size_t m_length = 0;
  std::uint32_t m_lastTimeout = 0;
  int m_discoveries = 0;
  int m_readsIssued = 0;
  int m_cancels = 0;
  int m_resets = 0;
  int m_closes = 0;
};

// A masked input report built from plain values, for driving the link.
inline Bytes MakeInput(std::uint8_t command, std::uint8_t low, std::uint8_t high, std::uint8_t carrier,
                       std::uint8_t byte6 = 0, std::size_t length = 10) {
  const std::uint8_t inverted = static_cast<std::uint8_t>(~carrier);
  const std::uint8_t key = static_cast<std::uint8_t>((inverted << 4) | (inverted >> 4));
  Bytes plain(length, 0);
  plain[1] = command;
  plain[2] = low;
  plain[3] = high;
  plain[6] = byte6;
  std::uint8_t sum = key;
  for (int i : {1, 2, 3, 5, 6, 7, 8}) sum = static_cast<std::uint8_t>(sum + plain[i]);
  plain[9] = sum;
  Bytes wire = plain;
  for (int i : {1, 2, 3, 5, 6, 7, 8, 9}) wire[i] = static_cast<std::uint8_t>(plain[i] ^ key);
  wire[4] = carrier;
  return wire;
}

// A key-status report carrying `status` with correct complements.
inline Bytes MakeStatus(std::uint8_t status, std::uint8_t carrier = 0x6B) {
  const std::uint8_t low = status & 0x0F;
  const std::uint8_t high = status >> 4;
  return MakeInput(0x10, static_cast<std::uint8_t>(low | ((~low & 0x0F) << 4)),
                   static_cast<std::uint8_t>(high | ((~high & 0x0F) << 4)), carrier);
}
inline Bytes MakeStateRequest(std::uint8_t carrier = 0x3A) {
  return MakeInput(0xA5, 0, 0, carrier);
}
inline Bytes MakeBlackScreen(std::uint8_t carrier = 0xC6) {
  return MakeInput(0xA6, 0, 0, carrier, 0x01);
}

// Plain fields of an output report, unmasked with its own key (NOT byte 7).
struct PlainOutput {
  std::uint8_t marker, flags, scene, minutes, speed, key, checksum;
  bool checksumValid;
};
inline PlainOutput Unmask(const Bytes& wire) {
  const std::uint8_t key = static_cast<std::uint8_t>(~wire[7]);
  auto at = [&](int i) { return static_cast<std::uint8_t>(wire[i] ^ key); };
  PlainOutput p{at(1), at(2), at(3), at(4), at(5), at(6), at(8), false};
  p.checksumValid =
      static_cast<std::uint8_t>(p.marker + p.flags + p.scene + p.minutes + p.speed) == p.checksum;
  return p;
}

// A link wired to the fakes, with a notification window set and armed.
struct LinkRig {
  FakeClock clock;
  FakeSink sink;
  FakeTransport transport;
  CMemorySceneStore scenes;
  CHidLink link;
  LinkInternals worker{link};

  LinkRig() {
    transport.m_clock = &clock;
    transport.m_interfaces = {FakeInterface{}};
    worker.m_platform = {&transport, &clock, &sink, &scenes};
    link.SetNotifyWindow(0x1234);
    link.ArmKeysFrom(clock.TickCount() - 1000);
  }
  // Opens the receiver (discards the hello and any messages so far).
  void Connect() {
    worker.OpenDevice();
    sink.Take();
    transport.m_writes.clear();
  }
  // Feeds one report through a full worker pass.
  std::vector<Message> Feed(const Bytes& report) {
    transport.QueueReport(report);
    worker.RunPass();
    return sink.Take();
  }
};

}  // namespace pv::link::test
