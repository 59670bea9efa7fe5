// A settings backend held in memory: the store of the host tests, and a
// stand-in wherever no registry exists. It keeps raw bytes so that values of
// the wrong type or size can be planted and read back as the registry would.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "settings/core/settings_backend.h"

namespace pv::settings {

class MemoryBackend : public ISettingsBackend {
 public:
  RawValue Query(std::wstring_view name) const override;
  bool SetDword(std::wstring_view name, uint32_t value) override;
  bool SetDwordUnflushed(std::wstring_view name, uint32_t value) override;
  bool Flush() override;

  // Plants arbitrary data, as another program (or a user with regedit) might.
  void SetRaw(std::wstring_view name, std::vector<uint8_t> bytes);
  void Erase(std::wstring_view name);
  // The stored bytes as a 32-bit value, when exactly four bytes are stored.
  std::optional<uint32_t> Dword(std::wstring_view name) const;
  bool Contains(std::wstring_view name) const;
  // Number of successful SetDword and SetDwordUnflushed calls so far.
  int WriteCount() const;
  // Flushes so far: every durable write flushes, as does Flush.
  int FlushCount() const;
  // Whether the value stored under the name is durable (flushed since it
  // was last stored); false for a value never stored.
  bool Durable(std::wstring_view name) const;
  // Makes every later SetDword fail, as a read-only hive would.
  void FailWrites(bool fail);

 private:
  mutable std::mutex mutex_;
  std::map<std::wstring, std::vector<uint8_t>, std::less<>> values_;
  int writes_ = 0;
  int flushes_ = 0;
  std::map<std::wstring, bool, std::less<>> durable_;
  bool failWrites_ = false;
};

}  // namespace pv::settings
