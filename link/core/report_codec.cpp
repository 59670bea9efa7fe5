#include "link/core/report_codec.h"

#include <initializer_list>

namespace pv::link {
namespace {

// A status pair holds four status bits in its low nibble and their
// complement in its high nibble.
bool StatusPairValid(std::uint8_t pair) {
  const std::uint8_t low = pair & 0x0F;
  const std::uint8_t complement = static_cast<std::uint8_t>(~(pair >> 4)) & 0x0F;
  return low == complement;
}

}  // namespace

std::uint8_t InputKeyFromCarrier(std::uint8_t carrier) {
  const std::uint8_t inverted = static_cast<std::uint8_t>(~carrier);
  return static_cast<std::uint8_t>((inverted << 4) | (inverted >> 4));
}

DecodedInput UnmaskInputReport(std::uint8_t (&report)[kInputBufferSize]) {
  const std::uint8_t key = InputKeyFromCarrier(report[4]);
  for (std::size_t i = 1; i <= 9; ++i)
    report[i] = (i == 4) ? key : static_cast<std::uint8_t>(report[i] ^ key);

  std::uint8_t sum = 0;
  for (std::size_t i = 1; i <= 8; ++i) sum = static_cast<std::uint8_t>(sum + report[i]);
  DecodedInput result;
  if (sum != report[9]) return result;

  result.command = report[1];
  if (result.command == CMD_STATE_REQUEST) {
    result.hasStatus = true;
    result.status = 0;
    result.accepted = true;
  } else if (result.command == CMD_BLACK_SCREEN) {
    result.accepted = (report[6] & 0x01) != 0;
  } else if (StatusPairValid(report[2]) && StatusPairValid(report[3])) {
    result.hasStatus = true;
    result.status = static_cast<std::uint16_t>((report[2] & 0x0F) | ((report[3] & 0x0F) << 4));
    result.accepted = true;
  }
  return result;
}

std::uint8_t OutputKey(std::uint16_t milliseconds, std::uint16_t seconds) {
  const auto key = static_cast<std::uint8_t>(milliseconds & 0xFF);
  return key != 0 ? key : static_cast<std::uint8_t>(seconds & 0xFF);
}

void EncodeOutputReport(const OutputFields& fields, std::uint8_t key,
                        std::uint8_t (&report)[kOutputBufferSize]) {
  report[0] = 0x00;
  report[1] = OUT_MARKER;
  report[2] = static_cast<std::uint8_t>((fields.timerAlert ? OF_TIMER_ALERT : 0) |
                                        (fields.timerRunning ? OF_TIMER_RUNNING : 0));
  report[3] = static_cast<std::uint8_t>(fields.scene | (fields.latched ? OF_LATCHED : 0));
  report[4] = fields.minutes;
  report[5] = fields.pointerSpeed;
  report[6] = 0;
  report[7] = 0;
  report[8] = static_cast<std::uint8_t>(report[1] + report[2] + report[3] + report[4] + report[5]);
  for (std::size_t i : {1, 2, 3, 4, 5, 6, 8}) report[i] = static_cast<std::uint8_t>(report[i] ^ key);
  report[7] = static_cast<std::uint8_t>(~key);
}

}  // namespace pv::link
