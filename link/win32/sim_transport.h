// The simulated receiver: the receiver protocol carried over a loopback TCP
// connection to tools/receiver-sim (see link/core/sim_protocol.h).
#pragma once

#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/core/link_ports.h"
#include "link/core/sim_protocol.h"

namespace pv::link::win32 {

// One discovery is one connection attempt. The connection stays open while
// the receiver counts as open and is closed with the receiver's handles; the
// next discovery connects anew.
class CSimTransport final : public IReceiverTransport {
 public:
  explicit CSimTransport(const sim::Endpoint& endpoint);
  ~CSimTransport() override;
  CSimTransport(const CSimTransport&) = delete;
  CSimTransport& operator=(const CSimTransport&) = delete;

  HidClassGuid HidGuid() override;
  void BeginDiscovery() override;
  bool NextInterface(InterfaceAttributes& attributes) override;
  bool QueryCaps(ReceiverCaps& caps) override;
  void RejectInterface() override {}
  void AcceptInterface() override;
  void EndDiscovery() override;
  void OpenWrite() override { m_writeOpen = m_socket != INVALID_SOCKET; }
  void OpenRead() override { m_readOpen = m_socket != INVALID_SOCKET; }
  bool IsWriteOpen() const override { return m_writeOpen; }
  void StartRead(std::uint8_t* buffer, std::size_t length) override;
  ReadWait WaitRead(std::uint32_t timeoutMs, std::size_t& bytesRead) override;
  void WakeWaits() override { m_woken = true; }
  std::wstring DevicePath() const override { return {}; }
  void CancelRead() override {}
  void ResetReadEvent() override {}
  bool Write(const std::uint8_t* report, std::size_t length) override;
  void Close() override;

 private:
  bool Connect();
  // The next frame within `timeoutMs`; nothing on timeout (`*closed` false)
  // or when the connection has ended (`*closed` true). `wakeable`: a stop
  // request ends the wait early (as a timeout).
  std::optional<std::vector<std::uint8_t>> ReceiveFrame(std::uint32_t timeoutMs, bool* closed,
                                                        bool wakeable = false);
  bool SendFrame(const std::uint8_t* payload, std::size_t length);

  sim::Endpoint m_endpoint;
  bool m_winsockReady = false;
  SOCKET m_socket = INVALID_SOCKET;
  sim::FrameReader m_reader;
  std::vector<sim::SimInterface> m_interfaces;
  std::size_t m_next = 0;
  std::size_t m_current = 0;
  bool m_accepted = false;
  std::atomic<bool> m_writeOpen{false};
  std::atomic<bool> m_readOpen{false};
  std::uint8_t* m_readBuffer = nullptr;
  // Set by the stop request; read waits look at it every kWakeSliceMs.
  std::atomic<bool> m_woken{false};
  std::size_t m_readLength = 0;
};

}  // namespace pv::link::win32
