// The receiver link's ports on Windows.
#pragma once

#include "link/core/link_ports.h"

namespace pv::link::win32 {

// GetTickCount, GetLocalTime and Sleep.
class CWin32Clock final : public ILinkClock {
 public:
  std::uint32_t TickCount() override;
  LocalTime Now() override;
  void Sleep(std::uint32_t ms) override;
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
