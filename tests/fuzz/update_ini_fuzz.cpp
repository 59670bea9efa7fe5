// What the update server sends: the body of "update.ini" read in random
// chunks, the version in it compared with ours, and the addresses a hostile
// server or environment could hand over (a redirect's Location, the URL
// override).
//
// Input: numbers from the back (chunk seed, Content-Length mode, where a read
// error strikes), the rest is the body. Checked:
//   - the body read is exactly its first min(size, 200) bytes, and the read
//     fails only on a read error or a body shorter than its Content-Length;
//   - "Version=" is found as an independent search finds it, and the verdict
//     equals comparing four numbers of at most 65535 each, number by number;
//   - every URL that comes out of parsing, resolving a redirect or choosing
//     the base is printable ASCII, http or https, with a port 1-65535, and an
//     override is taken only for this machine.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "update/core/transfer.h"
#include "update/core/update_url.h"
#include "update/core/version_check.h"

namespace pv::update::test {
namespace {

class ChunkedBody final : public IBodyReader {
 public:
  ChunkedBody(const std::string& bytes, std::uint32_t seed, std::optional<std::size_t> failAt)
      : m_bytes(bytes), m_state(seed | 1u), m_failAt(failAt) {}
  bool Read(void* buffer, std::size_t capacity, std::size_t& got) override {
    if (m_failAt && m_at >= *m_failAt) return false;
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    got = std::min({capacity, m_bytes.size() - m_at, static_cast<std::size_t>(1 + m_state % 64)});
    std::copy_n(m_bytes.data() + m_at, got, static_cast<char*>(buffer));
    m_at += got;
    return true;
  }

 private:
  const std::string& m_bytes;
  std::size_t m_at = 0;
  std::uint32_t m_state;
  std::optional<std::size_t> m_failAt;
};

std::optional<std::array<std::uint32_t, 4>> NumbersOf(const std::wstring& text) {
  std::array<std::uint32_t, 4> numbers{};
  std::size_t part = 0, digits = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == L'.') {
      if (digits == 0 || digits > 5 || numbers[part] > 65535) return std::nullopt;
      if (i == text.size()) return part == 3 ? std::optional(numbers) : std::nullopt;
      if (++part > 3) return std::nullopt;
      digits = 0;
    } else if (text[i] >= L'0' && text[i] <= L'9') {
      ++digits;
      if (digits <= 5) numbers[part] = numbers[part] * 10 + static_cast<std::uint32_t>(text[i] - L'0');
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void CheckUrl(const std::wstring& text) {
  const auto url = ParseUrl(text);
  if (!url) return;
  for (wchar_t c : text) PV_FUZZ_CHECK(c > 0x20 && c < 0x7F);
  PV_FUZZ_CHECK(url->scheme == L"http" || url->scheme == L"https");
  PV_FUZZ_CHECK(url->port >= 1 && url->port <= 65535);
  PV_FUZZ_CHECK(!url->path.empty() && url->path[0] == L'/');
  PV_FUZZ_CHECK(url->host.find(L'@') == std::wstring::npos && !url->host.empty());
  for (wchar_t c : url->host) PV_FUZZ_CHECK(!(c >= L'A' && c <= L'Z'));
}

void CheckAddresses(const std::wstring& text) {
  CheckUrl(text);
  const std::wstring base(PV_UPDATE_BASE_URL);
  if (const auto resolved = ResolveRedirect(base, text)) {
    PV_FUZZ_CHECK(ParseUrl(*resolved).has_value());
    CheckUrl(*resolved);
  }
  const std::wstring chosen = ChooseBaseUrl(base, text);
  if (chosen != base) {
    const auto url = ParseUrl(chosen);
    PV_FUZZ_CHECK(url && IsLoopbackHost(url->host));
  }
}

}  // namespace
}  // namespace pv::update::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pv::update;
  using namespace pv::update::test;
  FuzzedDataProvider input(data, size);
  const std::uint32_t chunkSeed = input.ConsumeIntegral<std::uint32_t>();
  const int lengthMode = input.ConsumeIntegralInRange<int>(0, 3);
  const std::optional<std::size_t> failAt =
      input.ConsumeBool() ? std::optional<std::size_t>(input.ConsumeIntegralInRange<std::size_t>(0, 300))
                          : std::nullopt;
  const std::wstring local = input.ConsumeBool() ? L"1.0.0.1" : L"65535.65535.65535.65534";
  const std::string body = input.ConsumeRemainingBytesAsString();

  // Content-Length: none, right, too large, too small.
  std::optional<std::uint64_t> length;
  if (lengthMode == 1) length = body.size();
  if (lengthMode == 2) length = body.size() + 1 + (chunkSeed % 1000);
  if (lengthMode == 3) length = body.size() / 2;
  ChunkedBody reader(body, chunkSeed, failAt);
  std::string read;
  const bool ok = ReadIniBody(reader, length, read);
  const std::size_t wanted = std::min(body.size(), kIniReadBytes);
  // A short body is read to its end (one more read that brings nothing); a
  // long one up to 200 bytes, its last read somewhere before byte 200.
  enum class Hit { kNo, kYes, kMaybe };
  Hit hit = Hit::kNo;
  if (failAt && wanted < kIniReadBytes) hit = *failAt <= wanted ? Hit::kYes : Hit::kNo;
  if (failAt && wanted == kIniReadBytes)
    hit = *failAt == 0 ? Hit::kYes : *failAt >= wanted ? Hit::kNo : Hit::kMaybe;
  // A body shorter than 200 bytes must be as long as its Content-Length says.
  const bool lengthBad = length && wanted < kIniReadBytes && wanted != *length;
  if (hit != Hit::kMaybe) PV_FUZZ_CHECK(ok == (hit == Hit::kNo && !lengthBad));
  if (ok) PV_FUZZ_CHECK(read == body.substr(0, wanted) && !lengthBad);

  // The text as the platform hands it over (here byte for byte), cut to 199.
  const std::string_view cut = CutIniBytes(body);
  PV_FUZZ_CHECK(cut == std::string_view(body).substr(0, kIniTextBytes));
  const std::wstring text(cut.begin(), cut.end());
  std::wstring remote = L"unchanged";
  const bool found = ParseVersion(text, remote);
  const std::size_t key = text.find(L"Version=");
  PV_FUZZ_CHECK(found == (key != std::wstring::npos));
  if (found) {
    const std::wstring value = text.substr(key + 8);
    PV_FUZZ_CHECK(remote == value.substr(0, value.find(L'\r')));
    std::wstring trimmed = remote;
    while (!trimmed.empty() && std::wstring(L" \t\r\n").find(trimmed.back()) != std::wstring::npos) {
      trimmed.pop_back();
    }
    const auto theirs = NumbersOf(trimmed);
    const auto ours = NumbersOf(local);
    const VersionVerdict verdict = CompareVersions(local, remote);
    PV_FUZZ_CHECK(ParseVersionNumbers(trimmed).has_value() == theirs.has_value());
    if (!theirs) {
      PV_FUZZ_CHECK(verdict == VersionVerdict::kUnusable);
    } else {
      PV_FUZZ_CHECK(verdict == (*ours < *theirs ? VersionVerdict::kNewer : VersionVerdict::kNotNewer));
    }
  } else {
    PV_FUZZ_CHECK(remote == L"unchanged");
  }
  CheckAddresses(text);
  return 0;
}
