#include "effects/core/raw_input_batch.h"

namespace pv::effects {
namespace {

// Little-endian reads at any offset (records need not be aligned for us).
std::uint32_t ReadU32(std::span<const std::byte> bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= std::to_integer<std::uint32_t>(bytes[at + i]) << (8 * i);
  return value;
}

std::uint16_t ReadU16(std::span<const std::byte> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at]) |
                                    (std::to_integer<unsigned>(bytes[at + 1]) << 8));
}

constexpr std::size_t kTypeAndSizeBytes = kRawHeaderSizeOffset + 4;

bool IsPowerOfTwo(std::size_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

}  // namespace

std::optional<RawInputRecord> ReadRawInputRecord(std::span<const std::byte> record, std::size_t headerSize) {
  if (headerSize < kTypeAndSizeBytes || record.size() < headerSize) return std::nullopt;
  RawInputRecord found;
  found.type = ReadU32(record, kRawHeaderTypeOffset);
  found.size = ReadU32(record, kRawHeaderSizeOffset);
  if (found.size < headerSize || found.size > record.size()) return std::nullopt;
  if (found.type == kRawTypeKeyboard && found.size - headerSize >= kRawKeyboardSize) {
    const std::span<const std::byte> keyboard = record.subspan(headerSize, kRawKeyboardSize);
    found.hasKeyboard = true;
    found.message = ReadU32(keyboard, kRawKeyboardMessageOffset);
    found.vkey = ReadU16(keyboard, kRawKeyboardVKeyOffset);
  }
  return found;
}

RawInputBatchWalker::RawInputBatchWalker(std::span<const std::byte> buffer, std::uint32_t count,
                                         std::size_t headerSize, std::size_t alignment)
    : m_buffer(buffer), m_count(count), m_headerSize(headerSize), m_alignment(alignment) {
  if (!IsPowerOfTwo(m_alignment)) m_done = true;
}

std::optional<RawInputRecord> RawInputBatchWalker::Next() {
  if (m_done || m_walked >= m_count || m_offset >= m_buffer.size()) {
    m_done = true;
    return std::nullopt;
  }
  std::optional<RawInputRecord> record = ReadRawInputRecord(m_buffer.subspan(m_offset), m_headerSize);
  if (!record) {
    m_done = true;  // a record that does not fit leaves no safe way to the next one
    return std::nullopt;
  }
  record->offset = m_offset;
  ++m_walked;
  // The record fits, so offset + size <= buffer size; rounding up can at most
  // pass the end, which the next call notices.
  const std::size_t end = m_offset + record->size;
  m_offset = (end + m_alignment - 1) & ~(m_alignment - 1);
  if (m_offset < end) m_done = true;  // wrapped around: cannot happen with real buffers
  return record;
}

}  // namespace pv::effects
