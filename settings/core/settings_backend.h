// The per-user store the settings live in. The program uses the registry
// (settings/win32/registry_backend.h); host tests use MemoryBackend.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pv::settings {

// Outcome of querying one value with a four-byte buffer.
enum class QueryStatus {
  kOk,        // data of at most four bytes was copied
  kMissing,   // no such value
  kTooLarge,  // the data does not fit into four bytes
  kError,     // any other failure
};

struct RawValue {
  QueryStatus status = QueryStatus::kMissing;
  std::array<uint8_t, 4> data{};  // the first `size` bytes are valid
  uint32_t size = 0;
};

// Implementations must be safe to call from several threads at once: the link
// worker stores the remote's scene while the window thread reads and writes
// other settings.
class ISettingsBackend {
 public:
  virtual ~ISettingsBackend() = default;

  // Reads the value named `name` whatever its stored type, into a four-byte buffer.
  virtual RawValue Query(std::wstring_view name) const = 0;

  // Stores `value` as a 32-bit value named `name`. Returns true only once the
  // write is durable (flushed).
  virtual bool SetDword(std::wstring_view name, uint32_t value) = 0;

  // Stores `value` at once (readers see it) without making it durable yet:
  // one of a run of changes that Flush makes durable together when the run
  // ends. A store that flushes nothing separately writes durably here.
  virtual bool SetDwordUnflushed(std::wstring_view name, uint32_t value) { return SetDword(name, value); }
  // Makes every value stored so far durable; true on success.
  virtual bool Flush() { return true; }
};

}  // namespace pv::settings
