// Reading raw input records out of untrusted byte buffers: one record from
// GetRawInputData, or a batch from GetRawInputBuffer.
//
// The platform fills the buffers, but their counts and sizes are taken as
// claims: a record is listed only when its header and its whole declared
// size lie inside the buffer, keyboard data is read only from a keyboard
// record large enough to hold it, and a batch never yields more records than
// the count the platform returned nor any record past the buffer's end.
//
// The layout is the 64-bit platform's, spelled out as offsets so this code
// needs no <windows.h>; the Win32 side checks these constants against the
// real RAWINPUTHEADER and RAWKEYBOARD with static_asserts.
//
// Keys are handed to the caller only to be compared with the few the effect
// rules name; nothing here stores or logs them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pv::effects {

// RAWINPUTHEADER on x64: dwType u32, dwSize u32, hDevice (8), wParam (8).
inline constexpr std::size_t kRawHeaderSize = 24;
inline constexpr std::size_t kRawHeaderTypeOffset = 0;
inline constexpr std::size_t kRawHeaderSizeOffset = 4;
inline constexpr std::size_t kRawHeaderDeviceOffset = 8;
inline constexpr std::size_t kRawHeaderWParamOffset = 16;

// RAWKEYBOARD, right after the header: MakeCode u16, Flags u16, Reserved u16,
// VKey u16, Message u32, ExtraInformation u32.
inline constexpr std::size_t kRawKeyboardSize = 16;
inline constexpr std::size_t kRawKeyboardMakeCodeOffset = 0;
inline constexpr std::size_t kRawKeyboardFlagsOffset = 2;
inline constexpr std::size_t kRawKeyboardReservedOffset = 4;
inline constexpr std::size_t kRawKeyboardVKeyOffset = 6;
inline constexpr std::size_t kRawKeyboardMessageOffset = 8;
inline constexpr std::size_t kRawKeyboardExtraOffset = 12;

// NEXTRAWINPUTBLOCK rounds to sizeof(QWORD) on 64-bit Windows.
inline constexpr std::size_t kRawBatchAlignment64 = 8;

// Record types (RIM_TYPE*).
inline constexpr std::uint32_t kRawTypeMouse = 0;
inline constexpr std::uint32_t kRawTypeKeyboard = 1;

// One record as found in a buffer.
struct RawInputRecord {
  std::size_t offset = 0;  // from the buffer's start
  std::uint32_t type = 0;
  std::uint32_t size = 0;  // dwSize: header and data
  // Keyboard records whose size holds the keyboard data.
  bool hasKeyboard = false;
  std::uint32_t message = 0;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN...
  std::uint16_t vkey = 0;
};

// The record at the start of `record`, or nothing when the buffer cannot hold
// what its header claims. headerSize is the size the caller passed to the
// platform (kRawHeaderSize on x64; at least the 8 bytes of type and size).
std::optional<RawInputRecord> ReadRawInputRecord(std::span<const std::byte> record,
                                                 std::size_t headerSize = kRawHeaderSize);

// Walks the records of a GetRawInputBuffer batch. Each next record begins at
// the end of the current one rounded up to `alignment` (a power of two)
// counted from the buffer's start: the buffer must itself start on such a
// boundary, as the platform requires. The walk ends at the first record that
// does not fit (truncated, oversized, or smaller than its header), after
// `count` records, or at the buffer's end, whichever comes first.
class RawInputBatchWalker {
 public:
  RawInputBatchWalker(std::span<const std::byte> buffer, std::uint32_t count,
                      std::size_t headerSize = kRawHeaderSize, std::size_t alignment = kRawBatchAlignment64);

  std::optional<RawInputRecord> Next();

  // Records yielded so far.
  std::uint32_t Walked() const { return m_walked; }

 private:
  std::span<const std::byte> m_buffer;
  std::uint32_t m_count;
  std::size_t m_headerSize;
  std::size_t m_alignment;
  std::size_t m_offset = 0;
  std::uint32_t m_walked = 0;
  bool m_done = false;
};

}  // namespace pv::effects
