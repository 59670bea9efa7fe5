#include "update/core/transfer.h"

#include "update/core/version_check.h"

#include <algorithm>
#include <array>

namespace pv::update {

std::optional<std::uint64_t> ParseContentLength(std::wstring_view header) {
  while (!header.empty() && header.front() == L' ') header.remove_prefix(1);
  while (!header.empty() && header.back() == L' ') header.remove_suffix(1);
  if (header.empty() || header.size() > 18) return std::nullopt;
  std::uint64_t value = 0;
  for (wchar_t c : header) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  return value;
}

TransferResult CopyBody(IBodyReader& body, IByteSink& sink, std::optional<std::uint64_t> contentLength,
                        std::uint64_t maxBytes, const std::atomic<bool>& cancel,
                        const std::function<void(int counter)>& progress) {
  if (!contentLength) return TransferResult::kLengthMissing;
  if (*contentLength > maxBytes) return TransferResult::kTooLarge;
  std::array<unsigned char, kReadChunkBytes> buffer;
  std::uint64_t received = 0;
  int counter = 0;
  for (;;) {
    if (cancel.load()) return TransferResult::kCancelled;
    std::size_t got = 0;
    if (!body.Read(buffer.data(), buffer.size(), got)) {
      return cancel.load() ? TransferResult::kCancelled : TransferResult::kReadError;
    }
    if (got == 0) break;
    received += got;
    if (received > maxBytes) return TransferResult::kTooLarge;
    if (!sink.Write(buffer.data(), got)) return TransferResult::kWriteError;
    counter += static_cast<int>(kReadChunkBytes);
    if (progress) progress(counter);
  }
  if (received != *contentLength) return TransferResult::kLengthMismatch;
  return TransferResult::kComplete;
}

bool ReadIniBody(IBodyReader& body, std::optional<std::uint64_t> contentLength, std::string& out) {
  out.clear();
  char buffer[kIniReadBytes];
  while (out.size() < kIniReadBytes) {
    std::size_t got = 0;
    if (!body.Read(buffer, kIniReadBytes - out.size(), got)) return false;
    if (got == 0) break;
    out.append(buffer, got);
  }
  if (contentLength && out.size() < kIniReadBytes && out.size() != *contentLength) return false;
  return true;
}

}  // namespace pv::update
