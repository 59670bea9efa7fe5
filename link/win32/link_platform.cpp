#include "link/win32/link_platform.h"

#include <windows.h>

#include <string>

#include "link/core/sim_protocol.h"
#include "link/win32/hid_transport.h"
#include "link/win32/sim_transport.h"

namespace pv::link::win32 {
namespace {

std::string ReceiverVariable() {
  char value[256] = {};
  const DWORD length = GetEnvironmentVariableA(sim::kEnvironmentVariable, value, sizeof(value));
  if (length == 0 || length >= sizeof(value)) return {};
  return std::string(value, length);
}

IReceiverTransport* CreateTransport() {
  if (const auto endpoint = sim::ParseEndpoint(ReceiverVariable())) return new CSimTransport(*endpoint);
  return new CHidTransport();
}

}  // namespace

std::uint32_t CWin32Clock::TickCount() {
  return GetTickCount();
}

LocalTime CWin32Clock::Now() {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

CWin32Clock::CWin32Clock() : m_wake(CreateEventHandle(true, false)) {}

void CWin32Clock::Sleep(std::uint32_t ms) {
  ::Sleep(ms);
}

bool CWin32Clock::SleepUnlessWoken(std::uint32_t ms) {
  if (!m_wake) {
    ::Sleep(ms);
    return true;
  }
  return WaitForSingleObject(m_wake.Get(), ms) == WAIT_TIMEOUT;
}

void CWin32Clock::Wake() {
  SetEvent(m_wake.Get());
}

void CWin32MessageSink::Post(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam) {
  PostMessageW(reinterpret_cast<HWND>(window), message, static_cast<WPARAM>(wparam),
               static_cast<LPARAM>(lparam));
}

IReceiverTransport& DefaultTransport() {
  // Never destroyed: the link's worker may still use it while the process ends.
  static IReceiverTransport* const transport = CreateTransport();
  return *transport;
}

LinkPlatform DefaultLinkPlatform(ISceneStore& scenes) {
  // Never destroyed, like the link that uses them.
  static CWin32Clock* const clock = new CWin32Clock();
  static CWin32MessageSink* const sink = new CWin32MessageSink();
  return {&DefaultTransport(), clock, sink, &scenes};
}

}  // namespace pv::link::win32
