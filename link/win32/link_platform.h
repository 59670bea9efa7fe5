// The receiver link's ports on Windows.
#pragma once

#include "framework/kernel_handles.h"
#include "link/core/link_ports.h"

namespace pv::link::win32 {

// GetTickCount, GetLocalTime and Sleep; the worker's pauses wait on an
// event that Wake sets.
class CWin32Clock final : public ILinkClock {
 public:
  CWin32Clock();
  std::uint32_t TickCount() override;
  LocalTime Now() override;
  void Sleep(std::uint32_t ms) override;
  bool SleepUnlessWoken(std::uint32_t ms) override;
  void Wake() override;

 private:
  CHandle m_wake;
};

// PostMessageW to the notification window.
class CWin32MessageSink final : public ILinkMessageSink {
 public:
  void Post(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
            std::intptr_t lparam) override;
};

// The transport the program uses: the simulated receiver when
// PRESENTER_VELA_RECEIVER is "tcp:HOST:PORT" with a loopback HOST,
// otherwise the HID receiver. Created on first call, lives to process end.
IReceiverTransport& DefaultTransport();

// Real transport, clock and sink, with `scenes` as the LastScene store.
LinkPlatform DefaultLinkPlatform(ISceneStore& scenes);

}  // namespace pv::link::win32
