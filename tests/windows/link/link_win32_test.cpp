// The link's Win32 side under Wine: HID discovery against Wine's own HID
// devices, the simulated-receiver transport against a loopback server, the
// clock's 64-bit time and the message sink.
#include <winsock2.h>
// winsock2 before windows.h
#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <thread>
#include <vector>

#include "link/core/device_path.h"
#include "link/core/hid_link.h"
#include "link/core/local_time.h"
#include "link/core/memory_scene_store.h"
#include "link/win32/hid_guid.h"
#include "link/win32/hid_transport.h"
#include "link/win32/link_platform.h"
#include "link/win32/sim_transport.h"
#include "tests/host/link/link_internals.h"
#include "tests/windows/link/loopback_server.h"

namespace pv::link::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(LinkWin32Guid, FormattedLikeStringFromGuid2) {
  GUID guid{};
  HidD_GetHidGuid(&guid);
  wchar_t text[48] = {};
  ASSERT_GT(StringFromGUID2(guid, text, 48), 0);
  EXPECT_EQ(FormatGuid(win32::QueryHidClassGuid()), std::wstring(text));
}

// Records what discovery saw, passing everything on to the real transport.
class RecordingTransport final : public IReceiverTransport {
 public:
  explicit RecordingTransport(IReceiverTransport& inner) : m_inner(inner) {}
  HidClassGuid HidGuid() override { return m_inner.HidGuid(); }
  void BeginDiscovery() override { m_inner.BeginDiscovery(); }
  bool NextInterface(InterfaceAttributes& attributes) override {
    const bool more = m_inner.NextInterface(attributes);
    if (more) m_seen.push_back(attributes);
    return more;
  }
  bool QueryCaps(ReceiverCaps& caps) override { return m_inner.QueryCaps(caps); }
  void RejectInterface() override {
    ++m_rejected;
    m_inner.RejectInterface();
  }
  void AcceptInterface() override { m_inner.AcceptInterface(); }
  void EndDiscovery() override { m_inner.EndDiscovery(); }
  void OpenWrite() override { m_inner.OpenWrite(); }
  void OpenRead() override { m_inner.OpenRead(); }
  bool IsWriteOpen() const override { return m_inner.IsWriteOpen(); }
  void StartRead(std::uint8_t* buffer, std::size_t length) override { m_inner.StartRead(buffer, length); }
  ReadWait WaitRead(std::uint32_t timeoutMs, std::size_t& bytesRead) override {
    return m_inner.WaitRead(timeoutMs, bytesRead);
  }
  void WakeWaits() override { m_inner.WakeWaits(); }
  std::wstring DevicePath() const override { return m_inner.DevicePath(); }
  void CancelRead() override { m_inner.CancelRead(); }
  void ResetReadEvent() override { m_inner.ResetReadEvent(); }
  bool Write(const std::uint8_t* report, std::size_t length) override {
    return m_inner.Write(report, length);
  }
  void Close() override { m_inner.Close(); }

  IReceiverTransport& m_inner;
  std::vector<InterfaceAttributes> m_seen;
  int m_rejected = 0;
};

double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

class CountingSink final : public ILinkMessageSink {
 public:
  void Post(std::uintptr_t, std::uint32_t, std::uintptr_t, std::intptr_t) override { ++m_posted; }
  int m_posted = 0;
};

TEST(LinkWin32Hid, WinesOwnHidDevicesAreEnumeratedAndPassedOverWithoutLeaks) {
  win32::CHidTransport hid;
  RecordingTransport transport(hid);
  win32::CWin32Clock clock;
  CountingSink sink;
  CMemorySceneStore scenes;
  CHidLink link;
  LinkInternals worker{link};
  worker.m_platform = {&transport, &clock, &sink, &scenes};
  link.SetNotifyWindow(1);

  ASSERT_FALSE(worker.OpenDevice());
  DWORD handlesBefore = 0;
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesBefore));
  const double cpuBefore = ThreadCpuMs();
  for (int attempt = 0; attempt < 20; ++attempt) EXPECT_FALSE(worker.OpenDevice());
  std::printf("HID discovery: %.2f ms CPU per opening attempt\n", (ThreadCpuMs() - cpuBefore) / 20);
  DWORD handlesAfter = 0;
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesAfter));

  EXPECT_EQ(handlesAfter, handlesBefore) << "probe handles and device lists released";
  EXPECT_FALSE(link.Snapshot().receiverPresent);
  EXPECT_FALSE(hid.IsWriteOpen());
  EXPECT_EQ(transport.m_rejected, static_cast<int>(transport.m_seen.size()));
  EXPECT_EQ(sink.m_posted, 0);
  bool sawWineDevice = false;
  for (const auto& seen : transport.m_seen) sawWineDevice |= seen.valid && seen.vendorId == 0x845E;
  std::printf("HID interfaces per discovery: %zu\n", transport.m_seen.size() / 21);
  EXPECT_TRUE(transport.m_seen.empty() || sawWineDevice) << "attributes read through hid.dll";
}

// ------------------------------------------------------------ simulated receiver

sim::Endpoint Loopback(std::uint16_t port) {
  sim::Endpoint endpoint;
  endpoint.port = port;
  return endpoint;
}

const Bytes kReceiverRecord = {0x45, 0x0C, 0x01, 0x81, 0x00, 0xFF, 0x01, 0x00, 10, 9};
const Bytes kMouseRecord = {0x5E, 0x84, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00, 5, 1};

// Starts discovery on another thread while the server plays the simulator.
struct SimRig {
  LoopbackServer server;
  win32::CSimTransport transport{Loopback(server.Port())};

  std::vector<InterfaceAttributes> Discover(const Bytes& list, std::vector<ReceiverCaps>* caps = nullptr) {
    auto begin = std::async(std::launch::async, [&] { transport.BeginDiscovery(); });
    EXPECT_TRUE(server.Accept(3000));
    server.SendFrame(list);
    begin.wait();
    std::vector<InterfaceAttributes> seen;
    InterfaceAttributes attributes;
    while (seen.size() < 8 && transport.NextInterface(attributes)) {
      seen.push_back(attributes);
      ReceiverCaps c;
      EXPECT_TRUE(transport.QueryCaps(c));
      if (caps) caps->push_back(c);
      if (attributes.vendorId == 0x0C45) {
        transport.AcceptInterface();
        break;
      }
      transport.RejectInterface();
    }
    transport.EndDiscovery();
    return seen;
  }
};

TEST(LinkWin32Sim, RefusedConnectionIsAFailedAttempt) {
  std::uint16_t port = 0;
  {
    LoopbackServer closed;
    port = closed.Port();
  }
  win32::CSimTransport transport(Loopback(port));
  const DWORD start = GetTickCount();
  transport.BeginDiscovery();
  InterfaceAttributes attributes;
  EXPECT_FALSE(transport.NextInterface(attributes));
  EXPECT_LT(GetTickCount() - start, 1500u);
}

TEST(LinkWin32Sim, ListChoiceHelloReportsAndClose) {
  SimRig rig;
  Bytes list = kMouseRecord;
  list.insert(list.end(), kReceiverRecord.begin(), kReceiverRecord.end());
  std::vector<ReceiverCaps> caps;
  const auto seen = rig.Discover(list, &caps);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].vendorId, 0x845E);
  EXPECT_EQ(caps[1].usagePage, 0xFF00);
  EXPECT_EQ(caps[1].inputReportByteLength, 10);
  EXPECT_EQ(rig.server.ReceiveFrame(1000), (Bytes{1})) << "index of the interface taken";

  rig.transport.OpenWrite();
  rig.transport.OpenRead();
  const Bytes hello = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(rig.transport.Write(hello.data(), hello.size()));
  EXPECT_EQ(rig.server.ReceiveFrame(1000), hello);

  std::uint8_t buffer[24];
  std::size_t got = 0;
  std::fill(std::begin(buffer), std::end(buffer), 0xCC);
  rig.transport.StartRead(buffer, 10);
  const DWORD start = GetTickCount();
  EXPECT_EQ(rig.transport.WaitRead(150, got), ReadWait::TimedOut);
  EXPECT_GE(GetTickCount() - start, 100u);

  // A frame arriving in pieces, then one longer than the read asked for.
  rig.server.SendBytes({10, 0, 0, 1, 2});
  rig.server.SendBytes({3, 4, 5, 6, 7, 8, 9});
  Bytes longFrame(30, 0x77);
  rig.server.SendFrame(longFrame);
  ASSERT_EQ(rig.transport.WaitRead(1000, got), ReadWait::Completed);
  EXPECT_EQ(Bytes(buffer, buffer + 10), (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_EQ(rig.transport.WaitRead(1000, got), ReadWait::Completed);
  EXPECT_EQ(Bytes(buffer, buffer + 10), Bytes(10, 0x77));
  EXPECT_EQ(buffer[10], 0xCC) << "never past the length asked for";
  rig.server.SendFrame({0, 0xA5, 0x5A});
  ASSERT_EQ(rig.transport.WaitRead(1000, got), ReadWait::Completed);
  EXPECT_EQ(Bytes(buffer, buffer + 10), (Bytes{0, 0xA5, 0x5A, 0, 0, 0, 0, 0, 0, 0})) << "no stale bytes";
  EXPECT_EQ(got, 3u) << "a short frame says it is short";

  // A stop request ends a read wait at once, and every later one.
  rig.transport.StartRead(buffer, 10);
  std::thread stop([&] {
    Sleep(200);
    rig.transport.WakeWaits();
  });
  const DWORD waitStart = GetTickCount();
  EXPECT_EQ(rig.transport.WaitRead(3000, got), ReadWait::Woken);
  EXPECT_LT(GetTickCount() - waitStart, 1500u);
  stop.join();
  EXPECT_EQ(rig.transport.WaitRead(3000, got), ReadWait::Woken);

  rig.transport.Close();
  EXPECT_TRUE(rig.server.PeerClosed(1000));
}

TEST(LinkWin32Sim, NoSuitableInterfaceClosesTheConnection) {
  SimRig rig;
  const auto seen = rig.Discover(kMouseRecord);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_TRUE(rig.server.PeerClosed(1000));
}

TEST(LinkWin32Sim, SimulatorGoneMakesReadsAndWritesFail) {
  SimRig rig;
  rig.Discover(kReceiverRecord);
  rig.transport.OpenWrite();
  rig.transport.OpenRead();
  rig.server.Drop();
  std::uint8_t buffer[20] = {};
  std::size_t got = 0;
  rig.transport.StartRead(buffer, 10);
  EXPECT_EQ(rig.transport.WaitRead(2000, got), ReadWait::Failed);
}

// A simulator that stops reading: once the socket buffers are full a send
// would block for ever under the link's mutex. Each write must instead fail
// within about its second.
TEST(LinkWin32Sim, WritesToASimulatorThatStopsReadingFailInTime) {
  SimRig rig;
  rig.Discover(kReceiverRecord);
  rig.transport.OpenWrite();
  const Bytes report(24, 0x5A);
  bool failed = false;
  DWORD longest = 0;
  const DWORD start = GetTickCount();
  // Loopback buffers hold a few megabytes; stop trying after 60 s.
  while (!failed && GetTickCount() - start < 60000) {
    const DWORD before = GetTickCount();
    failed = !rig.transport.Write(report.data(), report.size());
    longest = std::max<DWORD>(longest, GetTickCount() - before);
  }
  EXPECT_TRUE(failed) << "the writes never stalled";
  EXPECT_LT(longest, 3000u) << "one write blocked far past its time-out";
}

TEST(LinkWin32Sim, ListThatIsNotWholeRecordsOffersNothing) {
  SimRig rig;
  const auto seen = rig.Discover(Bytes(11, 0));
  EXPECT_TRUE(seen.empty());
}

// ------------------------------------------------------------ clock and sink

TEST(LinkWin32Clock, LocalTimeConversionIsSixtyFourBit) {
  const std::int64_t seconds = LocalTimeToSeconds({2040, 6, 1, 12, 0, 0, 0});
  EXPECT_GT(seconds, std::int64_t{2'200'000'000});
  win32::CWin32Clock clock;
  const LocalTime now = clock.Now();
  SYSTEMTIME system{};
  GetLocalTime(&system);
  EXPECT_EQ(now.year, system.wYear);
  EXPECT_NEAR(static_cast<double>(LocalTimeToSeconds(now)), static_cast<double>(time(nullptr)), 2.0);
}

TEST(LinkWin32Sink, PostsToTheWindowsQueue) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  win32::CWin32MessageSink sink;
  sink.Post(reinterpret_cast<std::uintptr_t>(window), UM_LINK_KEYS, ToWParam(KeyEvent::kDown), 2);
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, window, UM_LINK_KEYS, UM_LINK_KEYS, PM_REMOVE));
  EXPECT_EQ(msg.wParam, ToWParam(KeyEvent::kDown));
  EXPECT_EQ(msg.lParam, 2);
  DestroyWindow(window);
}

}  // namespace
}  // namespace pv::link::test
