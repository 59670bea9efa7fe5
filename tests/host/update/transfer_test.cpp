// Copying a download: complete or a failure, never a silent partial file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "update/core/transfer.h"

namespace pv::update::test {
namespace {

// A body delivered in the given pieces, optionally failing after them.
class ScriptedBody : public IBodyReader {
 public:
  ScriptedBody(std::string data, std::vector<std::size_t> pieces, bool errorAtEnd = false)
      : data_(std::move(data)), pieces_(std::move(pieces)), errorAtEnd_(errorAtEnd) {}

  bool Read(void* buffer, std::size_t capacity, std::size_t& got) override {
    ++reads;
    if (next_ == pieces_.size()) {
      got = 0;
      return !errorAtEnd_;
    }
    got = std::min(capacity, pieces_[next_]);
    pieces_[next_] -= got;
    if (pieces_[next_] == 0) ++next_;
    std::copy_n(data_.data() + offset_, got, static_cast<char*>(buffer));
    offset_ += got;
    return true;
  }
  int reads = 0;

 private:
  std::string data_;
  std::vector<std::size_t> pieces_;
  bool errorAtEnd_;
  std::size_t next_ = 0, offset_ = 0;
};

class StringSink : public IByteSink {
 public:
  bool Write(const void* bytes, std::size_t count) override {
    if (failAfter >= 0 && static_cast<int>(data.size() + count) > failAfter) return false;
    data.append(static_cast<const char*>(bytes), count);
    return true;
  }
  std::string data;
  int failAfter = -1;
};

std::string Bytes(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + 3);
  return s;
}

TEST(CopyBody, CountsReadsOf1024AndCopiesEveryByte) {
  const std::string data = Bytes(3000);
  ScriptedBody body(data, {1024, 1024, 952});
  StringSink sink;
  std::atomic<bool> cancel{false};
  std::vector<int> shown;
  EXPECT_EQ(CopyBody(body, sink, 3000, kMaxDownloadBytes, cancel, [&](int c) { shown.push_back(c); }),
            TransferResult::kComplete);
  EXPECT_EQ(sink.data, data);
  EXPECT_EQ(shown, (std::vector<int>{1024, 2048, 3072}));
}

TEST(CopyBody, EveryIncompleteOrOversizedBodyIsAFailure) {
  const std::string data = Bytes(5000);
  std::atomic<bool> noCancel{false};
  const struct {
    const char* what;
    std::vector<std::size_t> pieces;
    bool errorAtEnd;
    std::optional<std::uint64_t> contentLength;
    std::uint64_t cap;
    TransferResult result;
  } cases[] = {
      // A program without Content-Length could be cut short unseen.
      {"no Content-Length, body ends",
       {1024, 1000},
       false,
       std::nullopt,
       kMaxDownloadBytes,
       TransferResult::kLengthMissing},
      {"shorter than Content-Length",
       {1024, 1000},
       false,
       5000,
       kMaxDownloadBytes,
       TransferResult::kLengthMismatch},
      {"longer than Content-Length",
       {1024, 1000},
       false,
       1000,
       kMaxDownloadBytes,
       TransferResult::kLengthMismatch},
      {"connection reset halfway", {1024, 1000}, true, 5000, kMaxDownloadBytes, TransferResult::kReadError},
      {"reset without Content-Length",
       {1024},
       true,
       std::nullopt,
       kMaxDownloadBytes,
       TransferResult::kLengthMissing},
      {"announced size over the cap", {1024}, false, 4097, 4096, TransferResult::kTooLarge},
      {"no length, grows over the cap",
       {1024, 1024, 1024, 1024, 1},
       false,
       std::nullopt,
       4096,
       TransferResult::kLengthMissing},
      {"Content-Length announced, grows over the cap",
       {1024, 1024, 1024, 1024, 1},
       false,
       4096,
       4096,
       TransferResult::kTooLarge},
      {"exactly the cap", {1024, 1024, 1024, 1024}, false, 4096, 4096, TransferResult::kComplete},
  };
  for (const auto& c : cases) {
    ScriptedBody body(data, c.pieces, c.errorAtEnd);
    StringSink sink;
    EXPECT_EQ(CopyBody(body, sink, c.contentLength, c.cap, noCancel, nullptr), c.result) << c.what;
  }
}

TEST(CopyBody, AnAnnouncedOversizeIsRefusedBeforeReading) {
  ScriptedBody body(Bytes(10), {10});
  StringSink sink;
  std::atomic<bool> cancel{false};
  EXPECT_EQ(CopyBody(body, sink, kMaxDownloadBytes + 1, kMaxDownloadBytes, cancel, nullptr),
            TransferResult::kTooLarge);
  EXPECT_EQ(body.reads, 0);
}

TEST(CopyBody, WriteErrorsAndCancelStopTheCopy) {
  std::atomic<bool> cancel{false};
  ScriptedBody body(Bytes(3000), {1024, 1024, 952});
  StringSink full;
  full.failAfter = 2000;
  EXPECT_EQ(CopyBody(body, full, 3000, kMaxDownloadBytes, cancel, nullptr), TransferResult::kWriteError);

  ScriptedBody more(Bytes(3000), {1024, 1024, 952});
  StringSink sink;
  EXPECT_EQ(CopyBody(more, sink, 3000, kMaxDownloadBytes, cancel,
                     [&](int counter) {
                       if (counter == 1024) cancel = true;
                     }),
            TransferResult::kCancelled);
  EXPECT_EQ(sink.data.size(), 1024u);
}

TEST(ParseContentLength, DigitsOnly) {
  EXPECT_EQ(ParseContentLength(L"3000"), 3000u);
  EXPECT_EQ(ParseContentLength(L" 268435457 "), 268435457u);
  EXPECT_EQ(ParseContentLength(L"0"), 0u);
  for (const wchar_t* bad : {L"", L"-1", L"12a", L"1e6", L"9999999999999999999"}) {
    EXPECT_FALSE(ParseContentLength(bad).has_value());
  }
}

TEST(ReadIniBody, ReadsUpTo200BytesAcrossShortReads) {
  const std::string data = Bytes(300);
  ScriptedBody pieces(data, {10, 50, 240});
  std::string out;
  EXPECT_TRUE(ReadIniBody(pieces, 300, out));
  EXPECT_EQ(out, data.substr(0, 200));

  ScriptedBody shortFile(data, {17});
  EXPECT_TRUE(ReadIniBody(shortFile, 17, out));
  EXPECT_EQ(out.size(), 17u);

  ScriptedBody cutShort(data, {17});
  EXPECT_FALSE(ReadIniBody(cutShort, 40, out));  // ended before its Content-Length
  ScriptedBody reset(data, {17}, true);
  EXPECT_FALSE(ReadIniBody(reset, std::nullopt, out));
}

}  // namespace
}  // namespace pv::update::test
