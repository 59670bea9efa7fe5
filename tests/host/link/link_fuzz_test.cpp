// Robustness: millions of random and mutated reports through the decoder and
// the event logic. Nothing may crash, the scene must stay in range, and only
// reports whose checksum and status complements hold may be accepted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "link/core/hid_link.h"
#include "link/core/report_codec.h"
#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

// Deterministic, so a failure can be replayed.
class XorShift {
 public:
  explicit XorShift(std::uint64_t seed) : m_state(seed) {}
  std::uint64_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 7;
    m_state ^= m_state << 17;
    return m_state;
  }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Next() >> 24); }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

 private:
  std::uint64_t m_state;
};

// The acceptance rule, restated from the wire format rather than the codec.
bool ShouldAccept(const std::uint8_t* wire) {
  const std::uint8_t key = static_cast<std::uint8_t>(((~wire[4] & 0x0F) << 4) | ((~wire[4] & 0xF0) >> 4));
  std::uint8_t p[10];
  for (int i = 1; i <= 9; ++i) p[i] = static_cast<std::uint8_t>(wire[i] ^ key);
  p[4] = key;
  int sum = 0;
  for (int i = 1; i <= 8; ++i) sum += p[i];
  if ((sum & 0xFF) != p[9]) return false;
  if (p[1] == 0xA5) return true;
  if (p[1] == 0xA6) return (p[6] & 1) != 0;
  auto pairOk = [](std::uint8_t b) { return ((b >> 4) ^ 0x0F) == (b & 0x0F); };
  return pairOk(p[2]) && pairOk(p[3]);
}

void CheckOne(LinkInternals& link, const std::uint8_t (&wire)[kInputBufferSize]) {
  std::uint8_t buffer[kInputBufferSize];
  std::copy(std::begin(wire), std::end(wire), buffer);
  const bool accepted = link.DecodeInputReport(buffer);
  ASSERT_EQ(accepted, ShouldAccept(wire));
  ASSERT_TRUE(std::equal(buffer + 10, buffer + kInputBufferSize, wire + 10)) << "bytes past 9 untouched";
  if (accepted) {
    ASSERT_EQ(link.m_status >> 8, 0);
    link.HandleReport();
  }
  ASSERT_LT(link.m_scene, kSceneCount);
}

TEST(LinkFuzz, RandomAndMutatedReports) {
  LinkRig rig;
  rig.Connect();
  XorShift random(0x5EEDC0DEULL);
  std::uint8_t wire[kInputBufferSize];
  std::size_t accepted = 0;

  // Random bytes: nearly all fail the checksum.
  for (int i = 0; i < 1'000'000; ++i) {
    for (auto& b : wire) b = random.Byte();
    CheckOne(rig.worker, wire);
    if (testing::Test::HasFatalFailure()) return;
  }
  // Valid reports with one to three bytes flipped, and the valid ones
  // themselves: exercises every branch of the event logic.
  for (int i = 0; i < 1'000'000; ++i) {
    const auto kind = random.Below(4);
    const Bytes base = kind == 0   ? MakeStateRequest(random.Byte())
                       : kind == 1 ? MakeBlackScreen(random.Byte())
                                   : MakeStatus(random.Byte(), random.Byte());
    std::fill(std::begin(wire), std::end(wire), 0);
    std::copy(base.begin(), base.end(), wire);
    const auto flips = random.Below(4);
    for (std::size_t f = 0; f < flips; ++f)
      wire[1 + random.Below(9)] ^= static_cast<std::uint8_t>(1u << random.Below(8));
    rig.worker.m_bBlackScreen = random.Below(8) == 0 ? 1 : 0;
    if (random.Below(16) == 0) rig.worker.m_bEffectLatched = 1;
    std::uint8_t copy[kInputBufferSize];
    std::copy(std::begin(wire), std::end(wire), copy);
    accepted += ShouldAccept(copy) ? 1 : 0;
    CheckOne(rig.worker, wire);
    if (testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GT(accepted, 200'000u) << "the mutated half must reach the event logic";

  for (const auto& message : rig.sink.Take()) {
    if (message.message == UM_LINK_KEYS &&
        (message.wparam == ToWParam(KeyEvent::kDown) || message.wparam == ToWParam(KeyEvent::kLatch))) {
      ASSERT_LT(message.lparam, kSceneCount);
    }
  }
}

}  // namespace
}  // namespace pv::link::test
