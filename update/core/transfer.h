// Copying an HTTP body to its destination with every check a download of a
// program needs: a size cap, the byte count against Content-Length, read and
// write errors, and the user's Cancel. The platform supplies the body and the
// destination through the two small interfaces below.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pv::update {

// A program download larger than this is refused.
inline constexpr std::uint64_t kMaxDownloadBytes = 256ull * 1024 * 1024;
// Bytes per read; the progress counter counts reads of this size.
inline constexpr std::size_t kReadChunkBytes = 1024;

class IBodyReader {
 public:
  // Up to `capacity` bytes into `buffer`; got = 0 at the end of the body.
  // False on a read error (connection reset, time-out).
  virtual bool Read(void* buffer, std::size_t capacity, std::size_t& got) = 0;

 protected:
  ~IBodyReader() = default;
};

class IByteSink {
 public:
  virtual bool Write(const void* bytes, std::size_t count) = 0;

 protected:
  ~IByteSink() = default;
};

enum class TransferResult {
  kComplete,
  kReadError,
  kWriteError,
  kTooLarge,        // announced or received more than the cap
  kLengthMismatch,  // ended before (or beyond) its Content-Length
  kLengthMissing,   // no Content-Length: an early end could not be told from the real one
  kCancelled,
};

// The Content-Length header's value; nullopt when absent or not a number.
std::optional<std::uint64_t> ParseContentLength(std::wstring_view header);

// Reads the body in chunks of kReadChunkBytes into the sink. After every
// read that brought bytes, `progress` gets 1024 x the number of such reads.
// A program must come with its Content-Length; without one nothing is read.
TransferResult CopyBody(IBodyReader& body, IByteSink& sink, std::optional<std::uint64_t> contentLength,
                        std::uint64_t maxBytes, const std::atomic<bool>& cancel,
                        const std::function<void(int counter)>& progress);

// "update.ini": up to kIniReadBytes bytes, all of them when the body is
// shorter; false on a read error or a body that ended before its
// Content-Length said it would.
bool ReadIniBody(IBodyReader& body, std::optional<std::uint64_t> contentLength, std::string& out);

}  // namespace pv::update
