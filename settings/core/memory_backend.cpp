#include "settings/core/memory_backend.h"

namespace pv::settings {

RawValue MemoryBackend::Query(std::wstring_view name) const {
  std::lock_guard lock(mutex_);
  RawValue raw;
  const auto it = values_.find(name);
  if (it == values_.end()) return raw;
  if (it->second.size() > raw.data.size()) {
    raw.status = QueryStatus::kTooLarge;
    return raw;
  }
  raw.status = QueryStatus::kOk;
  raw.size = static_cast<uint32_t>(it->second.size());
  for (size_t i = 0; i < it->second.size(); ++i) raw.data[i] = it->second[i];
  return raw;
}

bool MemoryBackend::SetDword(std::wstring_view name, uint32_t value) {
  return SetDwordUnflushed(name, value) && Flush();
}

bool MemoryBackend::SetDwordUnflushed(std::wstring_view name, uint32_t value) {
  std::lock_guard lock(mutex_);
  if (failWrites_) return false;
  values_[std::wstring(name)] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                 static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  durable_[std::wstring(name)] = false;
  ++writes_;
  return true;
}

// Like RegFlushKey on the hive: every value stored so far becomes durable.
bool MemoryBackend::Flush() {
  std::lock_guard lock(mutex_);
  if (failWrites_) return false;
  for (auto& [name, durable] : durable_) durable = true;
  ++flushes_;
  return true;
}

int MemoryBackend::FlushCount() const {
  std::lock_guard lock(mutex_);
  return flushes_;
}

bool MemoryBackend::Durable(std::wstring_view name) const {
  std::lock_guard lock(mutex_);
  const auto it = durable_.find(name);
  return it != durable_.end() && it->second;
}

void MemoryBackend::SetRaw(std::wstring_view name, std::vector<uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  values_[std::wstring(name)] = std::move(bytes);
}

void MemoryBackend::Erase(std::wstring_view name) {
  std::lock_guard lock(mutex_);
  const auto it = values_.find(name);
  if (it != values_.end()) values_.erase(it);
}

std::optional<uint32_t> MemoryBackend::Dword(std::wstring_view name) const {
  std::lock_guard lock(mutex_);
  const auto it = values_.find(name);
  if (it == values_.end() || it->second.size() != 4) return std::nullopt;
  const auto& b = it->second;
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
}

bool MemoryBackend::Contains(std::wstring_view name) const {
  std::lock_guard lock(mutex_);
  return values_.find(name) != values_.end();
}

int MemoryBackend::WriteCount() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

void MemoryBackend::FailWrites(bool fail) {
  std::lock_guard lock(mutex_);
  failWrites_ = fail;
}

}  // namespace pv::settings
