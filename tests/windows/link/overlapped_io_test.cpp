// Bounded overlapped reads and writes on a real handle: a named pipe stands
// in for the receiver, so a stalled peer, a short report, a peer that goes
// away and the stop request can all be staged.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "framework/kernel_handles.h"
#include "link/win32/overlapped_io.h"

namespace pv::link::test {

using namespace pv::link::win32;

namespace {

// Server and overlapped client ends of a fresh pipe with no buffer, so a
// write waits until the other end reads.
struct PipePair {
  CFileHandle server;
  CFileHandle client;
  CHandle wake = CreateEventHandle(true, false);

  PipePair() {
    static int serial = 0;
    const std::wstring name = L"\\\\.\\pipe\\pv-overlapped-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial);
    server.Reset(
        CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr));
    client.Reset(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr));
  }
  void ServerWrite(const std::uint8_t* data, DWORD length) {
    DWORD written = 0;
    WriteFile(server.Get(), data, length, &written, nullptr);
  }
};

TEST(LinkWin32Io, WriteToAPeerThatNeverReadsFailsAfterItsTimeOut) {
  PipePair pipe;
  ASSERT_TRUE(pipe.server && pipe.client);
  const std::uint8_t report[24] = {0x00, 0x5A};
  // The pipe may take a little before it pushes back; a stalled receiver
  // must fail a write within about a second, never block.
  bool failed = false;
  DWORD longest = 0;
  for (int i = 0; i < 20000 && !failed; ++i) {
    const DWORD start = GetTickCount();
    failed = !WriteBounded(pipe.client.Get(), report, sizeof(report), 300);
    longest = std::max<DWORD>(longest, GetTickCount() - start);
  }
  EXPECT_TRUE(failed) << "the writes never stalled";
  EXPECT_LT(longest, 3000u) << "a write waited far past its time-out";
}

TEST(LinkWin32Io, WriteThatGoesThroughSucceeds) {
  PipePair pipe;
  ASSERT_TRUE(pipe.server && pipe.client);
  std::uint8_t received[9] = {};
  std::thread reader([&] {
    DWORD got = 0;
    ReadFile(pipe.server.Get(), received, sizeof(received), &got, nullptr);
  });
  const std::uint8_t report[9] = {0x00, 0x5A, 1, 2, 3, 4, 5, 6, 7};
  EXPECT_TRUE(WriteBounded(pipe.client.Get(), report, sizeof(report)));
  reader.join();
  EXPECT_EQ(std::memcmp(received, report, sizeof(report)), 0);
}

TEST(LinkWin32Io, CompletedReadsAreCheckedForErrorsAndLength) {
  PipePair pipe;
  ASSERT_TRUE(pipe.server && pipe.client);
  COverlappedReader reader(pipe.wake.Get());
  std::uint8_t buffer[20];
  std::size_t got = 99;

  // A short report arrives: completed, and the count says how short.
  reader.Start(pipe.client.Get(), 10);
  const std::uint8_t shortReport[3] = {0, 0xA5, 0x5A};
  pipe.ServerWrite(shortReport, 3);
  ASSERT_EQ(reader.Wait(pipe.client.Get(), 2000, buffer, got), ReadWait::Completed);
  EXPECT_EQ(got, 3u);

  // Silence: a timeout, then the cancelled read ends within its bound.
  reader.Start(pipe.client.Get(), 10);
  EXPECT_EQ(reader.Wait(pipe.client.Get(), 100, buffer, got), ReadWait::TimedOut);
  reader.Cancel(pipe.client.Get());
  EXPECT_EQ(reader.AbandonedSlots(), 0u) << "the cancel was confirmed: nothing left in flight";

  // The peer goes away (the receiver is pulled out): the read completes with
  // an error, which is a failed read, not a report.
  reader.Start(pipe.client.Get(), 10);
  pipe.server.Reset();
  EXPECT_EQ(reader.Wait(pipe.client.Get(), 2000, buffer, got), ReadWait::Failed);
}

// A read whose end was never confirmed (a driver that did not finish the
// cancel in time) may still land later. The next read has its own record
// and buffer: the late data neither shows as the new report nor lands in it.
TEST(LinkWin32Io, AReadThatMayStillLandNeverSharesTheNextReadsBuffer) {
  PipePair pipe;
  ASSERT_TRUE(pipe.server && pipe.client);
  COverlappedReader reader(pipe.wake.Get());
  reader.Start(pipe.client.Get(), 10);  // never waited for or cancelled
  reader.Start(pipe.client.Get(), 10);
  EXPECT_EQ(reader.AbandonedSlots(), 1u);
  const std::uint8_t late[10] = {0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99};
  pipe.ServerWrite(late, sizeof(late));  // completes the first read
  std::uint8_t buffer[20] = {};
  std::size_t got = 0;
  EXPECT_EQ(reader.Wait(pipe.client.Get(), 300, buffer, got), ReadWait::TimedOut)
      << "the late read was taken for the new one";
  EXPECT_EQ(buffer[1], 0);
  const std::uint8_t fresh[10] = {0, 0xA5};
  pipe.ServerWrite(fresh, sizeof(fresh));
  ASSERT_EQ(reader.Wait(pipe.client.Get(), 2000, buffer, got), ReadWait::Completed);
  EXPECT_EQ(buffer[1], 0xA5);
}

TEST(LinkWin32Io, StopRequestEndsAReadWaitAtOnce) {
  PipePair pipe;
  ASSERT_TRUE(pipe.server && pipe.client);
  COverlappedReader reader(pipe.wake.Get());
  std::uint8_t buffer[20];
  std::size_t got = 0;
  reader.Start(pipe.client.Get(), 10);
  std::thread stop([&] {
    Sleep(200);
    SetEvent(pipe.wake.Get());
  });
  const DWORD start = GetTickCount();
  EXPECT_EQ(reader.Wait(pipe.client.Get(), 3000, buffer, got), ReadWait::Woken);
  EXPECT_LT(GetTickCount() - start, 1500u);
  stop.join();
  reader.Cancel(pipe.client.Get());
}

}  // namespace
}  // namespace pv::link::test
