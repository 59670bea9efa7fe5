// What "update.ini" says and whether it names a newer program than ours.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pv::update {

// Only the first 199 bytes of "update.ini" count; 200 are read so the cut
// can be seen.
inline constexpr std::size_t kIniReadBytes = 200;
inline constexpr std::size_t kIniTextBytes = 199;

// The bytes of "update.ini" that are parsed.
std::string_view CutIniBytes(std::string_view bytes);

// The value after the first "Version=" (case-sensitive), up to the first
// carriage return or the end of the text. A line feed does not end it.
// False, with `out` unchanged, when there is no such key.
bool ParseVersion(std::wstring_view text, std::wstring& out);

// Four decimal numbers separated by dots, each at most 65535, in printable
// ASCII ("1.0.0.10"). Nothing else is a version.
using VersionNumbers = std::array<std::uint16_t, 4>;
std::optional<VersionNumbers> ParseVersionNumbers(std::wstring_view text);

enum class VersionVerdict {
  kNewer,     // the server has a newer program
  kNotNewer,  // ours is as new or newer
  kUnusable,  // the server's value is not a version: the check failed
};

// Number by number, so 1.0.0.10 is newer than 1.0.0.9. A program without a
// usable version of its own counts as older than any remote version. White
// space after the remote value (a line end the server added) is ignored.
VersionVerdict CompareVersions(std::wstring_view local, std::wstring_view remote);

}  // namespace pv::update
