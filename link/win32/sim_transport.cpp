#include "link/win32/sim_transport.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

#include "link/win32/hid_guid.h"

namespace pv::link::win32 {
namespace {

// A loopback connection is accepted or refused at once; this only bounds
// a simulator that does not answer.
constexpr long kConnectTimeoutMs = 1000;
constexpr std::uint32_t kInterfaceListTimeoutMs = 3000;
// How often a read wait looks for a stop request.
constexpr std::uint32_t kWakeSliceMs = 50;
// A simulator that stops reading makes send block once the socket buffers
// are full; after this long the send fails like a write to a stalled receiver.
constexpr DWORD kSendTimeoutMs = 1000;

timeval ToTimeval(std::uint32_t ms) {
  timeval tv{};
  tv.tv_sec = static_cast<long>(ms / 1000);
  tv.tv_usec = static_cast<long>((ms % 1000) * 1000);
  return tv;
}

}  // namespace

CSimTransport::CSimTransport(const sim::Endpoint& endpoint) : m_endpoint(endpoint) {
  WSADATA data{};
  m_winsockReady = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CSimTransport::~CSimTransport() {
  Close();
  if (m_winsockReady) WSACleanup();
}

HidClassGuid CSimTransport::HidGuid() {
  // The real class GUID, so device notifications and path matching behave
  // as with the real receiver.
  return QueryHidClassGuid();
}

bool CSimTransport::Connect() {
  if (!m_winsockReady) return false;
  m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (m_socket == INVALID_SOCKET) return false;
  BOOL noDelay = TRUE;  // reports are tiny and must leave at once
  setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof(noDelay));
  const DWORD sendTimeout = kSendTimeoutMs;
  setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
             sizeof(sendTimeout));

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(m_endpoint.port);
  std::memcpy(&address.sin_addr, m_endpoint.address, 4);

  u_long nonBlocking = 1;
  ioctlsocket(m_socket, FIONBIO, &nonBlocking);
  if (connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    return false;
  }
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(m_socket, &writable);
  FD_SET(m_socket, &failed);
  timeval timeout = ToTimeval(kConnectTimeoutMs);
  if (select(0, nullptr, &writable, &failed, &timeout) <= 0 || !FD_ISSET(m_socket, &writable)) return false;
  int error = 0;
  int size = sizeof(error);
  getsockopt(m_socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
  u_long blocking = 0;
  ioctlsocket(m_socket, FIONBIO, &blocking);
  return error == 0;
}

void CSimTransport::BeginDiscovery() {
  Close();
  m_interfaces.clear();
  m_next = 0;
  m_accepted = false;
  if (!Connect()) {
    Close();
    return;
  }
  bool closed = false;
  const auto frame = ReceiveFrame(kInterfaceListTimeoutMs, &closed);
  const auto list = frame ? sim::ParseInterfaceList(*frame) : std::nullopt;
  if (list) m_interfaces = *list;
}

bool CSimTransport::NextInterface(InterfaceAttributes& attributes) {
  if (m_next >= m_interfaces.size()) return false;
  m_current = m_next++;
  attributes = m_interfaces[m_current].attributes;
  return true;
}

bool CSimTransport::QueryCaps(ReceiverCaps& caps) {
  caps = m_interfaces[m_current].caps;
  return true;
}

void CSimTransport::AcceptInterface() {
  m_accepted = true;
  const auto index = static_cast<std::uint8_t>(m_current);
  SendFrame(&index, 1);
}

void CSimTransport::EndDiscovery() {
  if (!m_accepted) Close();  // nothing matched: the simulator sees the connection end
}

void CSimTransport::StartRead(std::uint8_t* buffer, std::size_t length) {
  m_readBuffer = buffer;
  m_readLength = length;
}

ReadWait CSimTransport::WaitRead(std::uint32_t timeoutMs, std::size_t& bytesRead) {
  bytesRead = 0;
  if (m_woken) return ReadWait::Woken;
  if (!m_readOpen || m_readBuffer == nullptr) return ReadWait::Failed;
  bool closed = false;
  const auto frame = ReceiveFrame(timeoutMs, &closed, true);
  if (!frame) {
    if (closed) return ReadWait::Failed;
    return m_woken ? ReadWait::Woken : ReadWait::TimedOut;
  }
  // Never more than the read asked for (the buffer is sized for it); a short
  // frame leaves zeros, not the previous report, behind it, and says how
  // short it was.
  const std::size_t copied = std::min(frame->size(), m_readLength);
  std::memcpy(m_readBuffer, frame->data(), copied);
  std::memset(m_readBuffer + copied, 0, m_readLength - copied);
  bytesRead = copied;
  return ReadWait::Completed;
}

bool CSimTransport::Write(const std::uint8_t* report, std::size_t length) {
  return m_writeOpen && SendFrame(report, length);
}

void CSimTransport::Close() {
  m_writeOpen = false;
  m_readOpen = false;
  m_reader.Clear();
  if (m_socket != INVALID_SOCKET) closesocket(m_socket);
  m_socket = INVALID_SOCKET;
}

std::optional<std::vector<std::uint8_t>> CSimTransport::ReceiveFrame(std::uint32_t timeoutMs, bool* closed,
                                                                     bool wakeable) {
  *closed = false;
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (true) {
    if (auto frame = m_reader.Next()) return frame;
    if (m_socket == INVALID_SOCKET) {
      *closed = true;
      return std::nullopt;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline || (wakeable && m_woken)) return std::nullopt;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(m_socket, &readable);
    std::uint32_t slice = static_cast<std::uint32_t>(deadline - now);
    if (wakeable) slice = std::min(slice, kWakeSliceMs);
    timeval timeout = ToTimeval(slice);
    const int ready = select(0, &readable, nullptr, nullptr, &timeout);
    if (ready == 0) continue;  // the deadline or a stop request is checked above
    std::uint8_t chunk[512];
    const int received = ready > 0 ? recv(m_socket, reinterpret_cast<char*>(chunk), sizeof(chunk), 0) : -1;
    if (received <= 0) {
      *closed = true;
      return std::nullopt;
    }
    m_reader.Append(chunk, static_cast<std::size_t>(received));
  }
}

bool CSimTransport::SendFrame(const std::uint8_t* payload, std::size_t length) {
  const SOCKET socket = m_socket;
  if (socket == INVALID_SOCKET) return false;
  const std::vector<std::uint8_t> frame = sim::MakeFrame(payload, length);
  std::size_t sent = 0;
  while (sent < frame.size()) {
    const int n = send(socket, reinterpret_cast<const char*>(frame.data() + sent),
                       static_cast<int>(frame.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace pv::link::win32
