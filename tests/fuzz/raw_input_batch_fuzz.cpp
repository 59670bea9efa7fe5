// libFuzzer target: the raw input batch walker and the single-record reader
// on arbitrary bytes. The first four bytes are the record count the platform
// claims, the fifth picks the header size; the rest is the buffer, copied to
// an 8-byte boundary as GetRawInputBuffer's buffers are. A record listed past
// the buffer or beyond the count fails a check; reads past the buffer are
// caught by the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "effects/core/raw_input_batch.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  std::uint32_t count = 0;
  std::memcpy(&count, data, sizeof count);
  const std::size_t headerSize = data[4] % 2 == 0 ? pv::effects::kRawHeaderSize : 16;
  data += 5;
  size -= 5;

  std::vector<std::uint64_t> storage((size + 7) / 8);
  if (size != 0) std::memcpy(storage.data(), data, size);
  const std::span<const std::byte> buffer(reinterpret_cast<const std::byte*>(storage.data()), size);

  pv::effects::RawInputBatchWalker walker(buffer, count, headerSize);
  std::uint32_t listed = 0;
  while (auto record = walker.Next()) {
    ++listed;
    PV_FUZZ_CHECK(record->offset + record->size <= buffer.size());
    PV_FUZZ_CHECK(record->size >= headerSize);
  }
  PV_FUZZ_CHECK(listed <= count);
  PV_FUZZ_CHECK(listed == walker.Walked());

  const auto one = pv::effects::ReadRawInputRecord(buffer, headerSize);
  PV_FUZZ_CHECK(!one || one->size <= buffer.size());
  return 0;
}
