// The simulated receiver's wire protocol over TCP, without the sockets.
//
// Used instead of the HID driver when PRESENTER_VELA_RECEIVER is
// "tcp:HOST:PORT" with a loopback HOST; a test and demo facility, not a user
// setting. Every message is a frame: a 2-byte little-endian length N, then N
// bytes. The simulator first sends the interface list (10 bytes each), the
// program answers with the 1-byte index it takes, then input reports flow
// from the simulator and output reports (the hello first) from the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/core/link_ports.h"

namespace pv::link::sim {

inline constexpr char kEnvironmentVariable[] = "PRESENTER_VELA_RECEIVER";
inline constexpr std::size_t kInterfaceRecordSize = 10;

// An IPv4 loopback endpoint.
struct Endpoint {
  std::uint8_t address[4] = {127, 0, 0, 1};
  std::uint16_t port = 0;
};

// "tcp:HOST:PORT" with HOST "localhost" or a dotted 127.x.x.x address and a
// port 1-65535; anything else gives nothing (the real receiver is used).
std::optional<Endpoint> ParseEndpoint(const std::string& value);

struct SimInterface {
  InterfaceAttributes attributes;
  ReceiverCaps caps;
};

// The interface list frame's payload; nothing when its length is not a
// multiple of the record size.
std::optional<std::vector<SimInterface>> ParseInterfaceList(const std::vector<std::uint8_t>& payload);

// Length prefix plus payload (payloads are at most 65535 bytes).
std::vector<std::uint8_t> MakeFrame(const std::uint8_t* payload, std::size_t length);

// Collects bytes from the stream and hands out complete frames.
class FrameReader {
 public:
  void Append(const std::uint8_t* data, std::size_t length);
  // The next complete frame's payload, if one has arrived.
  std::optional<std::vector<std::uint8_t>> Next();
  void Clear() { m_pending.clear(); }

 private:
  std::vector<std::uint8_t> m_pending;
};

}  // namespace pv::link::sim
