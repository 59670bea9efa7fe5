// A scene store that keeps the value in memory: for tests, and for a program
// that has no settings store connected yet.
#pragma once

#include <atomic>
#include <cstdint>

#include "link/core/link_ports.h"

namespace pv::link {

class CMemorySceneStore final : public ISceneStore {
 public:
  CMemorySceneStore() = default;
  explicit CMemorySceneStore(std::uint32_t initial) : m_value(initial), m_stored(true) {}

  bool ReadLastScene(std::uint32_t& value) override {
    if (!m_stored) return false;
    value = m_value;
    return true;
  }
  void WriteLastScene(std::uint32_t value) override {
    m_value = value;
    m_stored = true;
    ++m_writes;
  }

  bool Stored() const { return m_stored; }
  std::uint32_t Value() const { return m_value; }
  int Writes() const { return m_writes; }

 private:
  std::atomic<std::uint32_t> m_value{0};
  std::atomic<bool> m_stored{false};
  std::atomic<int> m_writes{0};
};

}  // namespace pv::link
