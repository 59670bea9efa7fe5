// Byte layout of the receiver's input and output reports.
//
// Both directions mask their payload with a one-byte key carried in the same
// report and protect it with an additive 8-bit checksum. The receiver's
// firmware is fixed: every value here is part of the wire format.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pv::link {

// Status bits of a key-status report.
inline constexpr std::uint16_t ST_EFFECT_KEY = 0x01;
inline constexpr std::uint16_t ST_SCENE_KEY = 0x02;
inline constexpr std::uint16_t ST_LATCH = 0x08;
inline constexpr std::uint16_t ST_LOW_BATTERY = 0x10;
inline constexpr std::uint16_t ST_ALERT_ACK = 0x20;
inline constexpr std::uint16_t ST_SIZE_UP = 0x40;
inline constexpr std::uint16_t ST_SIZE_DOWN = 0x80;

// Input commands; any other command byte is a key-status report.
inline constexpr std::uint8_t CMD_STATE_REQUEST = 0xA5;
inline constexpr std::uint8_t CMD_BLACK_SCREEN = 0xA6;

// Output report fields.
inline constexpr std::uint8_t OUT_MARKER = 0x5A;
inline constexpr std::uint8_t OF_TIMER_RUNNING = 0x01;
inline constexpr std::uint8_t OF_TIMER_ALERT = 0x02;
inline constexpr std::uint8_t OF_LATCHED = 0x10;

// Buffer sizes; a receiver whose reports do not fit them is refused.
inline constexpr std::size_t kInputBufferSize = 20;
inline constexpr std::size_t kOutputBufferSize = 24;
// Bytes of each report the codec reads or writes.
inline constexpr std::size_t kMinInputReportLength = 10;
inline constexpr std::size_t kMinOutputReportLength = 9;

// Scenes, stepped by the remote's scene key.
inline constexpr std::uint8_t SCENE_SPOTLIGHT = 0;
inline constexpr std::uint8_t SCENE_MAGNIFIER = 1;
inline constexpr std::uint8_t SCENE_CIRCLE = 2;
inline constexpr std::uint8_t kSceneCount = 3;

// Key of an input report: the complement of byte 4 with its nibbles swapped.
std::uint8_t InputKeyFromCarrier(std::uint8_t carrier);

// Result of unmasking and validating one input report.
struct DecodedInput {
  bool accepted = false;
  std::uint8_t command = 0;
  // Status word of a key-status report; only meaningful when `hasStatus`.
  std::uint16_t status = 0;
  bool hasStatus = false;
};

// Unmasks bytes 1-9 of `report` in place (byte 4 becomes the key) and
// validates checksum, black-screen flag and status complements.
DecodedInput UnmaskInputReport(std::uint8_t (&report)[kInputBufferSize]);

// Plain content of an output report.
struct OutputFields {
  bool timerRunning = false;
  bool timerAlert = false;
  std::uint8_t scene = 0;
  bool latched = false;
  std::uint8_t minutes = 0;
  std::uint8_t pointerSpeed = 0;
};

// The output key: low byte of the milliseconds, or of the seconds when that is 0.
std::uint8_t OutputKey(std::uint16_t milliseconds, std::uint16_t seconds);

// Fills bytes 0-8 of `report` with `fields`, masked with `key`; later bytes
// are left alone.
void EncodeOutputReport(const OutputFields& fields, std::uint8_t key,
                        std::uint8_t (&report)[kOutputBufferSize]);

}  // namespace pv::link
