// Raw input records read out of buffers whose counts and sizes cannot be
// trusted: every walk stays inside the buffer and within the count.
#include "effects/core/raw_input_batch.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pv::effects::test {
namespace {

constexpr std::uint32_t kWmKeyDown = 0x100;
constexpr std::uint32_t kWmKeyUp = 0x101;
constexpr std::uint32_t kMouseRecordSize = 48;  // x64 RAWINPUTHEADER + RAWMOUSE
constexpr std::uint32_t kKeyboardRecordSize = 40;

// Lays records out as GetRawInputBuffer does on x64.
class BatchBuilder {
 public:
  // A record whose dwSize is `declaredSize`; `bytes` of it are written
  // (header and zeroed data), then padding to `alignment`.
  BatchBuilder& Record(std::uint32_t type, std::uint32_t declaredSize, std::size_t bytes,
                       std::size_t alignment = 8) {
    const std::size_t start = m_bytes.size();
    m_bytes.resize(start + bytes);
    Put32(start + kRawHeaderTypeOffset, type);
    Put32(start + kRawHeaderSizeOffset, declaredSize);
    m_last = start;
    while (m_bytes.size() % alignment != 0) m_bytes.push_back(std::byte{0xCC});
    return *this;
  }
  BatchBuilder& Mouse() { return Record(kRawTypeMouse, kMouseRecordSize, kMouseRecordSize); }
  BatchBuilder& Key(std::uint32_t message, std::uint16_t vkey, std::uint32_t size = kKeyboardRecordSize) {
    Record(kRawTypeKeyboard, size, size);
    const std::size_t keyboard = m_last + kRawHeaderSize;
    if (size >= kRawHeaderSize + kRawKeyboardSize) {
      Put32(keyboard + kRawKeyboardMessageOffset, message);
      m_bytes[keyboard + kRawKeyboardVKeyOffset] = std::byte(vkey & 0xFF);
      m_bytes[keyboard + kRawKeyboardVKeyOffset + 1] = std::byte(vkey >> 8);
    }
    return *this;
  }
  // Cuts the buffer to `size` bytes.
  BatchBuilder& TruncateTo(std::size_t size) {
    m_bytes.resize(size);
    return *this;
  }

  std::span<const std::byte> Bytes() const { return m_bytes; }

 private:
  void Put32(std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4 && at + i < m_bytes.size(); ++i) {
      m_bytes[at + i] = std::byte((value >> (8 * i)) & 0xFF);
    }
  }

  std::vector<std::byte> m_bytes;
  std::size_t m_last = 0;
};

std::vector<RawInputRecord> WalkAll(std::span<const std::byte> buffer, std::uint32_t count,
                                    std::size_t headerSize = kRawHeaderSize, std::size_t alignment = 8) {
  RawInputBatchWalker walker(buffer, count, headerSize, alignment);
  std::vector<RawInputRecord> records;
  while (auto record = walker.Next()) {
    records.push_back(*record);
    // Every record the walker lists lies inside the buffer.
    EXPECT_LE(record->offset + record->size, buffer.size());
  }
  EXPECT_LE(records.size(), count);
  EXPECT_FALSE(walker.Next().has_value()) << "a finished walk stays finished";
  return records;
}

TEST(RawInputBatchTest, WalksMixedRecordsAtTheirAlignedOffsets) {
  BatchBuilder batch;
  batch.Mouse().Key(kWmKeyDown, 0x41).Key(kWmKeyUp, 0x1B).Mouse();
  const auto records = WalkAll(batch.Bytes(), 4);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].offset, 0u);
  EXPECT_EQ(records[1].offset, 48u);
  EXPECT_EQ(records[2].offset, 88u);
  EXPECT_EQ(records[3].offset, 128u);
  EXPECT_EQ(records[0].type, kRawTypeMouse);
  EXPECT_FALSE(records[0].hasKeyboard);
  EXPECT_TRUE(records[1].hasKeyboard);
  EXPECT_EQ(records[1].message, kWmKeyDown);
  EXPECT_EQ(records[1].vkey, 0x41);
  EXPECT_EQ(records[2].message, kWmKeyUp);
  EXPECT_EQ(records[2].vkey, 0x1B);
}

TEST(RawInputBatchTest, ListsEveryRecordOfALargeBatchAndNoMoreThanTheCount) {
  BatchBuilder batch;
  for (int i = 0; i < 100; ++i) batch.Key(kWmKeyDown, static_cast<std::uint16_t>(i));
  EXPECT_EQ(WalkAll(batch.Bytes(), 100).size(), 100u) << "no fixed-size record list";
  EXPECT_EQ(WalkAll(batch.Bytes(), 17).size(), 17u);
  EXPECT_EQ(WalkAll(batch.Bytes(), 0).size(), 0u);
}

TEST(RawInputBatchTest, ACountLargerThanTheBufferEndsAtTheBuffersEnd) {
  BatchBuilder batch;
  batch.Mouse().Mouse().Key(kWmKeyDown, 27);
  EXPECT_EQ(WalkAll(batch.Bytes(), 1000).size(), 3u);
  EXPECT_EQ(WalkAll(batch.Bytes(), UINT32_MAX).size(), 3u) << "GetRawInputBuffer's -1";
  EXPECT_EQ(WalkAll({}, UINT32_MAX).size(), 0u);
}

TEST(RawInputBatchTest, StopsAtARecordThatDoesNotFit) {
  struct Case {
    const char* what;
    BatchBuilder batch;
    std::size_t expected;
  };
  Case cases[] = {
      {"last record cut short", BatchBuilder{}.Mouse().Mouse().TruncateTo(80), 1},
      {"header cut short", BatchBuilder{}.Mouse().TruncateTo(48 + 10), 1},
      {"size beyond the buffer", BatchBuilder{}.Mouse().Record(kRawTypeKeyboard, 4096, 40).Mouse(), 1},
      {"size 0xFFFFFFFF", BatchBuilder{}.Record(kRawTypeMouse, UINT32_MAX, 48).Mouse(), 0},
      {"size 0 would never advance", BatchBuilder{}.Mouse().Record(kRawTypeMouse, 0, 48).Mouse(), 1},
      {"size smaller than a header", BatchBuilder{}.Record(kRawTypeKeyboard, 10, 40).Mouse(), 0},
      {"buffer smaller than a header", BatchBuilder{}.Mouse().TruncateTo(23), 0},
  };
  for (Case& c : cases) {
    EXPECT_EQ(WalkAll(c.batch.Bytes(), 10).size(), c.expected) << c.what;
  }
}

TEST(RawInputBatchTest, RoundsOddSizesUpToTheAlignment) {
  BatchBuilder eight;
  eight.Record(kRawTypeMouse, 43, 43).Mouse();
  const auto aligned8 = WalkAll(eight.Bytes(), 2);
  ASSERT_EQ(aligned8.size(), 2u);
  EXPECT_EQ(aligned8[1].offset, 48u);

  BatchBuilder four;
  four.Record(kRawTypeMouse, 43, 43, 4).Record(kRawTypeMouse, 48, 48, 4);
  const auto aligned4 = WalkAll(four.Bytes(), 2, kRawHeaderSize, 4);
  ASSERT_EQ(aligned4.size(), 2u);
  EXPECT_EQ(aligned4[1].offset, 44u);

  EXPECT_EQ(WalkAll(eight.Bytes(), 2, kRawHeaderSize, 6).size(), 0u) << "not a power of two";
  EXPECT_EQ(WalkAll(eight.Bytes(), 2, kRawHeaderSize, 0).size(), 0u);
}

TEST(RawInputBatchTest, KeyboardDataIsReadOnlyWhenTheRecordHoldsIt) {
  BatchBuilder batch;
  batch.Key(kWmKeyDown, 27, kRawHeaderSize + kRawKeyboardSize - 1).Mouse();
  const auto records = WalkAll(batch.Bytes(), 2);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].type, kRawTypeKeyboard);
  EXPECT_FALSE(records[0].hasKeyboard);
  EXPECT_EQ(records[0].message, 0u);
}

TEST(RawInputBatchTest, ReadsOneRecordFromGetRawInputData) {
  BatchBuilder key;
  key.Key(kWmKeyUp, 0x20);
  const auto record = ReadRawInputRecord(key.Bytes().first(kKeyboardRecordSize));
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->message, kWmKeyUp);
  EXPECT_EQ(record->vkey, 0x20);

  EXPECT_FALSE(ReadRawInputRecord(key.Bytes().first(kKeyboardRecordSize - 1)).has_value())
      << "size claims more";
  EXPECT_FALSE(ReadRawInputRecord(key.Bytes(), 4).has_value()) << "a header cannot be 4 bytes";
  EXPECT_FALSE(ReadRawInputRecord({}).has_value());
  // The 32-bit layout's 16-byte header: the keyboard data then begins at 16.
  const auto narrow = ReadRawInputRecord(key.Bytes(), 16);
  ASSERT_TRUE(narrow.has_value());
  EXPECT_TRUE(narrow->hasKeyboard);
}

}  // namespace
}  // namespace pv::effects::test
