// The report formats byte for byte: the receiver's firmware is fixed.
#include "link/core/report_codec.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>

#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

struct InputBuffer {
  std::uint8_t bytes[kInputBufferSize] = {};
  explicit InputBuffer(const Bytes& wire) { std::copy(wire.begin(), wire.end(), bytes); }
};

TEST(LinkInputKey, IsTheComplementWithNibblesSwapped) {
  EXPECT_EQ(InputKeyFromCarrier(0xFF), 0x00);
  EXPECT_EQ(InputKeyFromCarrier(0x00), 0xFF);
  EXPECT_EQ(InputKeyFromCarrier(0xED), 0x21);
  EXPECT_EQ(InputKeyFromCarrier(0x3A), 0x5C);
  EXPECT_EQ(InputKeyFromCarrier(0xC6), 0x93);
}

struct InputVector {
  const char* name;
  Bytes wire;
  Bytes plain;  // bytes 0-9 after unmasking
  bool accepted;
  std::uint8_t command;
  bool hasStatus;
  std::uint16_t status;
};

void PrintTo(const InputVector& v, std::ostream* out) {
  *out << v.name;
}

class LinkInputVectors : public testing::TestWithParam<InputVector> {};

TEST_P(LinkInputVectors, UnmaskAndValidate) {
  const InputVector& v = GetParam();
  InputBuffer buffer(v.wire);
  const DecodedInput decoded = UnmaskInputReport(buffer.bytes);
  EXPECT_EQ(Bytes(buffer.bytes, buffer.bytes + 10), v.plain);
  EXPECT_EQ(decoded.accepted, v.accepted);
  if (!v.accepted) return;
  EXPECT_EQ(decoded.command, v.command);
  EXPECT_EQ(decoded.hasStatus, v.hasStatus);
  if (v.hasStatus) {
    EXPECT_EQ(decoded.status, v.status);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Reports, LinkInputVectors,
    testing::Values(InputVector{"key_status_effect_and_scene",
                                {0x00, 0x31, 0xE2, 0xD1, 0xED, 0x21, 0x21, 0x21, 0x21, 0xC5},
                                {0x00, 0x10, 0xC3, 0xF0, 0x21, 0x00, 0x00, 0x00, 0x00, 0xE4},
                                true,
                                0x10,
                                true,
                                0x03},
                    InputVector{"checksum_changed",
                                {0x00, 0x31, 0xE2, 0xD1, 0xED, 0x21, 0x21, 0x21, 0x21, 0xC6},
                                {0x00, 0x10, 0xC3, 0xF0, 0x21, 0x00, 0x00, 0x00, 0x00, 0xE7},
                                false,
                                0,
                                false,
                                0},
                    // Plain byte 2 0xD3: high nibble no longer the complement; checksum kept right.
                    InputVector{"status_complement_broken",
                                {0x00, 0x31, 0xF2, 0xD1, 0xED, 0x21, 0x21, 0x21, 0x21, 0xD5},
                                {0x00, 0x10, 0xD3, 0xF0, 0x21, 0x00, 0x00, 0x00, 0x00, 0xF4},
                                false,
                                0,
                                false,
                                0},
                    InputVector{"state_request",
                                {0x00, 0xF9, 0x5C, 0x5C, 0x3A, 0x5C, 0x5C, 0x5C, 0x5C, 0x5D},
                                {0x00, 0xA5, 0x00, 0x00, 0x5C, 0x00, 0x00, 0x00, 0x00, 0x01},
                                true,
                                0xA5,
                                true,
                                0x00},
                    InputVector{"black_screen",
                                {0x00, 0x35, 0x93, 0x93, 0xC6, 0x93, 0x92, 0x93, 0x93, 0xA9},
                                {0x00, 0xA6, 0x00, 0x00, 0x93, 0x00, 0x01, 0x00, 0x00, 0x3A},
                                true,
                                0xA6,
                                false,
                                0},
                    // Plain byte 6 = 0 with the checksum adjusted: no key press, refused.
                    InputVector{"black_screen_without_flag",
                                {0x00, 0x35, 0x93, 0x93, 0xC6, 0x93, 0x93, 0x93, 0x93, 0xAA},
                                {0x00, 0xA6, 0x00, 0x00, 0x93, 0x00, 0x00, 0x00, 0x00, 0x39},
                                false,
                                0,
                                false,
                                0},
                    // Carrier 0xFF: key 0, the report travels in plain form.
                    InputVector{"carrier_ff_plain",
                                {0x00, 0xA5, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xA5},
                                {0x00, 0xA5, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA5},
                                true,
                                0xA5,
                                true,
                                0x00},
                    // Carrier 0x00: key 0xFF.
                    InputVector{"carrier_00",
                                {0x00, 0x5A, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x5B},
                                {0x00, 0xA5, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xA4},
                                true,
                                0xA5,
                                true,
                                0x00}),
    [](const testing::TestParamInfo<InputVector>& info) { return info.param.name; });

TEST(LinkInputReport, StateRequestIgnoresStatusAndFlagBytes) {
  // Bytes 2, 3 and 6 carry garbage that would fail the complement test.
  InputBuffer buffer(MakeInput(0xA5, 0x77, 0x12, 0x9E, 0x44));
  const DecodedInput decoded = UnmaskInputReport(buffer.bytes);
  EXPECT_TRUE(decoded.accepted);
  EXPECT_EQ(decoded.status, 0);
}

TEST(LinkOutputReport, VectorSceneOneTwelveMinutesSpeed50) {
  OutputFields fields;
  fields.timerRunning = true;
  fields.scene = 1;
  fields.minutes = 12;
  fields.pointerSpeed = 50;
  std::uint8_t report[kOutputBufferSize];
  std::fill(std::begin(report), std::end(report), 0xEE);
  EncodeOutputReport(fields, OutputKey(311, 20), report);
  EXPECT_EQ(Bytes(report, report + 9), (Bytes{0x00, 0x6D, 0x36, 0x36, 0x3B, 0x05, 0x37, 0xC8, 0xAD}));
  EXPECT_EQ(report[9], 0xEE) << "bytes beyond 8 are not the codec's";
}

TEST(LinkOutputReport, FlagsAndLatchBits) {
  OutputFields fields;
  fields.timerAlert = true;
  fields.scene = 2;
  fields.latched = true;
  fields.pointerSpeed = 100;
  std::uint8_t report[kOutputBufferSize] = {};
  EncodeOutputReport(fields, 0, report);
  EXPECT_EQ(Bytes(report, report + 9), (Bytes{0x00, 0x5A, 0x02, 0x12, 0x00, 0x64, 0x00, 0xFF, 0xD2}));
}

TEST(LinkOutputKey, MillisecondsLowByteThenSeconds) {
  EXPECT_EQ(OutputKey(311, 20), 0x37);
  EXPECT_EQ(OutputKey(256, 20), 20) << "low byte of 256 is 0: seconds instead";
  EXPECT_EQ(OutputKey(0, 0), 0) << "both 0: the report goes out unmasked";
}

}  // namespace
}  // namespace pv::link::test
