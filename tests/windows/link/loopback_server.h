// A one-connection loopback TCP server for driving the simulated-receiver
// transport from a test: it plays the simulator's side of the protocol.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace pv::link::test {

class LoopbackServer {
 public:
  LoopbackServer() {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(m_listener, 4);
    int size = sizeof(address);
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
  }
  ~LoopbackServer() {
    Drop();
    closesocket(m_listener);
    WSACleanup();
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  std::uint16_t Port() const { return m_port; }

  // Waits for the transport's connection (it connects inside BeginDiscovery,
  // so call this from another thread or after queueing with Listen()).
  bool Accept(DWORD timeoutMs) {
    if (!Readable(m_listener, timeoutMs)) return false;
    m_client = accept(m_listener, nullptr, nullptr);
    return m_client != INVALID_SOCKET;
  }
  void SendBytes(const std::vector<std::uint8_t>& bytes) {
    send(m_client, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0);
  }
  void SendFrame(const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> frame = {static_cast<std::uint8_t>(payload.size() & 0xFF),
                                       static_cast<std::uint8_t>(payload.size() >> 8)};
    frame.insert(frame.end(), payload.begin(), payload.end());
    SendBytes(frame);
  }
  // The next frame, or nothing on timeout or when the peer closed.
  std::optional<std::vector<std::uint8_t>> ReceiveFrame(DWORD timeoutMs) {
    std::uint8_t header[2];
    if (!ReceiveExactly(header, 2, timeoutMs)) return std::nullopt;
    std::vector<std::uint8_t> payload(header[0] | (header[1] << 8));
    if (!payload.empty() && !ReceiveExactly(payload.data(), payload.size(), timeoutMs)) return std::nullopt;
    return payload;
  }
  // True when the peer has closed the connection within the time.
  bool PeerClosed(DWORD timeoutMs) {
    if (!Readable(m_client, timeoutMs)) return false;
    char byte = 0;
    return recv(m_client, &byte, 1, 0) <= 0;
  }
  void Drop() {
    if (m_client != INVALID_SOCKET) closesocket(m_client);
    m_client = INVALID_SOCKET;
  }

 private:
  static bool Readable(SOCKET socket, DWORD timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    return select(0, &set, nullptr, nullptr, &timeout) > 0;
  }
  bool ReceiveExactly(std::uint8_t* out, std::size_t length, DWORD timeoutMs) {
    std::size_t got = 0;
    while (got < length) {
      if (!Readable(m_client, timeoutMs)) return false;
      const int n = recv(m_client, reinterpret_cast<char*>(out + got), static_cast<int>(length - got), 0);
      if (n <= 0) return false;
      got += static_cast<std::size_t>(n);
    }
    return true;
  }

  SOCKET m_listener = INVALID_SOCKET;
  SOCKET m_client = INVALID_SOCKET;
  std::uint16_t m_port = 0;
};

}  // namespace pv::link::test
