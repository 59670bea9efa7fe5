#include "link/core/sim_protocol.h"

#include <charconv>

namespace pv::link::sim {
namespace {

std::optional<unsigned> ParseNumber(const std::string& text, unsigned max) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value > max) return std::nullopt;
  return value;
}

bool ParseLoopbackHost(const std::string& host, std::uint8_t (&address)[4]) {
  if (host == "localhost") return true;  // the default 127.0.0.1
  std::size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    const std::size_t dot = host.find('.', start);
    const bool last = part == 3;
    if (last != (dot == std::string::npos)) return false;
    const auto value = ParseNumber(host.substr(start, last ? std::string::npos : dot - start), 255);
    if (!value) return false;
    address[part] = static_cast<std::uint8_t>(*value);
    start = dot + 1;
  }
  return address[0] == 127;
}

std::uint16_t U16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

std::optional<Endpoint> ParseEndpoint(const std::string& value) {
  static constexpr char kScheme[] = "tcp:";
  if (value.rfind(kScheme, 0) != 0) return std::nullopt;
  const std::string rest = value.substr(sizeof(kScheme) - 1);
  const std::size_t colon = rest.rfind(':');
  if (colon == std::string::npos) return std::nullopt;
  Endpoint endpoint;
  if (!ParseLoopbackHost(rest.substr(0, colon), endpoint.address)) return std::nullopt;
  const auto port = ParseNumber(rest.substr(colon + 1), 65535);
  if (!port || *port == 0) return std::nullopt;
  endpoint.port = static_cast<std::uint16_t>(*port);
  return endpoint;
}

std::optional<std::vector<SimInterface>> ParseInterfaceList(const std::vector<std::uint8_t>& payload) {
  if (payload.size() % kInterfaceRecordSize != 0) return std::nullopt;
  std::vector<SimInterface> list;
  for (std::size_t at = 0; at < payload.size(); at += kInterfaceRecordSize) {
    const std::uint8_t* record = payload.data() + at;
    SimInterface item;
    item.attributes = {true, U16(record), U16(record + 2)};
    item.caps = {U16(record + 4), U16(record + 6), record[8], record[9]};
    list.push_back(item);
  }
  return list;
}

std::vector<std::uint8_t> MakeFrame(const std::uint8_t* payload, std::size_t length) {
  std::vector<std::uint8_t> frame;
  frame.reserve(length + 2);
  frame.push_back(static_cast<std::uint8_t>(length & 0xFF));
  frame.push_back(static_cast<std::uint8_t>((length >> 8) & 0xFF));
  frame.insert(frame.end(), payload, payload + length);
  return frame;
}

void FrameReader::Append(const std::uint8_t* data, std::size_t length) {
  m_pending.insert(m_pending.end(), data, data + length);
}

std::optional<std::vector<std::uint8_t>> FrameReader::Next() {
  if (m_pending.size() < 2) return std::nullopt;
  const std::size_t length = U16(m_pending.data());
  if (m_pending.size() < 2 + length) return std::nullopt;
  std::vector<std::uint8_t> payload(m_pending.begin() + 2,
                                    m_pending.begin() + 2 + static_cast<std::ptrdiff_t>(length));
  m_pending.erase(m_pending.begin(), m_pending.begin() + 2 + static_cast<std::ptrdiff_t>(length));
  return payload;
}

}  // namespace pv::link::sim
