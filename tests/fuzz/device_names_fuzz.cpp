// Names that reach the link from outside: the device interface path of a
// device-change broadcast (any process can send one) and the simulated
// receiver's endpoint variable.
//
// The input, read as UTF-16 code units, is a device path; read as bytes, an
// endpoint. Checked:
//   - the path is upper-cased in place (ASCII letters only, nothing else
//     touched, the length kept) and matches exactly when "VID_0C45",
//     "PID_8101" and the braced class GUID each occur after its first
//     character;
//   - an endpoint is accepted only as "tcp:HOST:PORT" with a loopback HOST
//     and a port 1-65535, and writing it back out parses to the same endpoint.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "link/core/device_path.h"
#include "link/core/sim_protocol.h"
#include "tests/fuzz/fuzz_check.h"

namespace pv::link::test {
namespace {

constexpr HidClassGuid kHidGuid{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

bool OccursAfterStart(const std::wstring& text, const wchar_t* marker) {
  const auto at = text.find(marker);
  return at != std::wstring::npos && at > 0;
}

void CheckDevicePath(const std::uint8_t* data, std::size_t size) {
  std::vector<wchar_t> path(size / 2 + 1, L'\0');
  for (std::size_t i = 0; i + 1 < size; i += 2)
    path[i / 2] = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  const std::vector<wchar_t> original = path;

  const bool matched = PathNamesReceiver(path.data(), kHidGuid);

  std::wstring expected;
  for (std::size_t i = 0; i < original.size() && original[i] != L'\0'; ++i) {
    const wchar_t c = original[i];
    expected.push_back(c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c);
  }
  PV_FUZZ_CHECK(std::wstring(path.data()) == expected);
  for (std::size_t i = expected.size(); i < path.size(); ++i) PV_FUZZ_CHECK(path[i] == original[i]);
  PV_FUZZ_CHECK(matched ==
                (OccursAfterStart(expected, L"VID_0C45") && OccursAfterStart(expected, L"PID_8101") &&
                 OccursAfterStart(expected, L"{4D1E55B2-F16F-11CF-88CB-001111000030}")));
}

void CheckEndpoint(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto endpoint = sim::ParseEndpoint(text);
  if (!endpoint) return;
  PV_FUZZ_CHECK(text.rfind("tcp:", 0) == 0);
  PV_FUZZ_CHECK(endpoint->address[0] == 127 && endpoint->port != 0);
  const std::string again = "tcp:" + std::to_string(endpoint->address[0]) + "." +
                            std::to_string(endpoint->address[1]) + "." +
                            std::to_string(endpoint->address[2]) + "." +
                            std::to_string(endpoint->address[3]) + ":" + std::to_string(endpoint->port);
  const auto reparsed = sim::ParseEndpoint(again);
  PV_FUZZ_CHECK(reparsed && reparsed->port == endpoint->port &&
                std::memcmp(reparsed->address, endpoint->address, 4) == 0);
}

}  // namespace
}  // namespace pv::link::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pv::link::test::CheckDevicePath(data, size);
  pv::link::test::CheckEndpoint(data, size);
  return 0;
}
