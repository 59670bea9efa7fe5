// The simulated receiver's byte stream: framing under random chunking, the
// interface list it opens with, and the link's choice among those interfaces.
//
// Input: 4 bytes seeding the chunk sizes, 4 bytes saying which interfaces'
// capabilities cannot be read, then the stream as the program would receive
// it from the socket. Checked:
//   - the frames handed out, however the stream is cut, are exactly those an
//     independent walk over the whole stream finds, and re-framing each gives
//     back its bytes;
//   - the first frame parses as an interface list exactly when its length is
//     a multiple of the record size, with every field where it belongs;
//   - discovery over that list takes the first interface that is the
//     receiver's vendor collection with reports fitting the buffers, rejects
//     every one before it, and then reads and writes within the buffers.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "link/core/hid_link.h"
#include "link/core/report_codec.h"
#include "link/core/sim_protocol.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class InstantClock final : public ILinkClock {
 public:
  std::uint32_t TickCount() override { return m_tick; }
  LocalTime Now() override { return {2026, 3, 9, 9, 30, 0, static_cast<std::uint16_t>(m_tick % 1000)}; }
  void Sleep(std::uint32_t ms) override { m_tick += ms; }
  bool SleepUnlessWoken(std::uint32_t ms) override {
    m_tick += ms;
    return true;
  }
  void Wake() override {}
  std::uint32_t m_tick = 5000;
};

std::uint16_t Le16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

// Every complete frame of the stream, front to back.
std::vector<Bytes> WalkFrames(const Bytes& stream) {
  std::vector<Bytes> frames;
  std::size_t at = 0;
  while (stream.size() - at >= 2) {
    const std::size_t length = Le16(stream.data() + at);
    if (stream.size() - at - 2 < length) break;
    frames.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(at + 2),
                        stream.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
    at += 2 + length;
  }
  return frames;
}

std::vector<Bytes> ReadInChunks(const Bytes& stream, std::uint32_t seed) {
  sim::FrameReader reader;
  std::vector<Bytes> frames;
  std::size_t at = 0;
  std::uint32_t state = seed | 1u;
  while (at < stream.size()) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    const std::size_t chunk = std::min<std::size_t>(state % 24, stream.size() - at);  // 0 = an empty read
    reader.Append(stream.data() + at, chunk);
    at += chunk;
    while (auto frame = reader.Next()) frames.push_back(std::move(*frame));
  }
  return frames;
}

bool IsTheReceiversCollection(const sim::SimInterface& item, bool capsReadable) {
  const ReceiverCaps& caps = item.caps;
  return item.attributes.valid && item.attributes.vendorId == 0x0C45 && item.attributes.productId == 0x8101 &&
         capsReadable && caps.usagePage == 0xFF00 && caps.usage == 0x0001 &&
         caps.inputReportByteLength >= 10 && caps.inputReportByteLength <= kInputBufferSize &&
         caps.outputReportByteLength >= 9 && caps.outputReportByteLength <= kOutputBufferSize;
}

void CheckInterfaceList(const Bytes& payload, std::uint32_t unreadableCaps) {
  const auto list = sim::ParseInterfaceList(payload);
  PV_FUZZ_CHECK(list.has_value() == (payload.size() % sim::kInterfaceRecordSize == 0));
  if (!list) return;
  PV_FUZZ_CHECK(list->size() == payload.size() / sim::kInterfaceRecordSize);
  for (std::size_t i = 0; i < list->size(); ++i) {
    const std::uint8_t* record = payload.data() + i * sim::kInterfaceRecordSize;
    const sim::SimInterface& item = (*list)[i];
    PV_FUZZ_CHECK(item.attributes.vendorId == Le16(record) && item.attributes.productId == Le16(record + 2));
    PV_FUZZ_CHECK(item.caps.usagePage == Le16(record + 4) && item.caps.usage == Le16(record + 6));
    PV_FUZZ_CHECK(item.caps.inputReportByteLength == record[8] &&
                  item.caps.outputReportByteLength == record[9]);
  }

  InstantClock clock;
  FakeSink sink;
  FakeTransport transport;
  CMemorySceneStore scenes;
  CHidLink link;
  LinkInternals worker{link};
  std::optional<std::size_t> expected;
  for (std::size_t i = 0; i < list->size(); ++i) {
    FakeInterface fake;
    fake.attributes = (*list)[i].attributes;
    fake.caps = (*list)[i].caps;
    fake.capsReadable = (unreadableCaps >> (i % 32) & 1) == 0;
    transport.m_interfaces.push_back(fake);
    if (!expected && IsTheReceiversCollection((*list)[i], fake.capsReadable)) expected = i;
  }
  worker.m_platform = {&transport, &clock, &sink, &scenes};
  link.SetNotifyWindow(0x99);

  const bool connected = worker.OpenDevice();
  PV_FUZZ_CHECK(connected == expected.has_value());
  PV_FUZZ_CHECK(transport.m_rejected.size() == (expected ? *expected : list->size()));
  for (std::size_t i = 0; i < transport.m_rejected.size(); ++i) PV_FUZZ_CHECK(transport.m_rejected[i] == i);
  if (!connected) {
    PV_FUZZ_CHECK(transport.m_accepted.empty() && !link.Snapshot().receiverPresent);
    return;
  }
  PV_FUZZ_CHECK(transport.m_accepted.size() == 1 && transport.m_accepted[0] == *expected);
  // Reports of the declared lengths stay inside the link's buffers (the
  // fake copies and writes as many bytes as it is told to).
  transport.QueueReport(MakeInput(CMD_STATE_REQUEST, 0, 0, 0x3A, 0, worker.m_caps.inputReportByteLength));
  worker.ReadReport();
  PV_FUZZ_CHECK(transport.m_length <= kInputBufferSize);
  for (const Bytes& written : transport.m_writes) PV_FUZZ_CHECK(written.size() <= kOutputBufferSize);
  PV_FUZZ_CHECK(transport.m_writes.size() == 2);  // the hello and the answer
}

}  // namespace
}  // namespace pv::link::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pv::link;
  using namespace pv::link::test;
  FuzzedDataProvider input(data, size);
  const std::uint32_t chunkSeed = input.ConsumeIntegral<std::uint32_t>();
  const std::uint32_t unreadableCaps = input.ConsumeIntegral<std::uint32_t>();
  const Bytes stream = input.ConsumeRemainingBytes<std::uint8_t>();

  const std::vector<Bytes> expected = WalkFrames(stream);
  PV_FUZZ_CHECK(ReadInChunks(stream, chunkSeed) == expected);
  std::size_t at = 0;
  for (const Bytes& payload : expected) {
    const Bytes frame = sim::MakeFrame(payload.data(), payload.size());
    PV_FUZZ_CHECK(std::equal(frame.begin(), frame.end(), stream.begin() + static_cast<std::ptrdiff_t>(at)));
    at += frame.size();
  }
  if (!expected.empty()) CheckInterfaceList(expected.front(), unreadableCaps);
  return 0;
}
