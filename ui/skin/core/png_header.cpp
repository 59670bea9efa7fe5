#include "ui/skin/core/png_header.h"

#include <cstring>

namespace pv::skin {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::size_t kHeaderEnd = 8 + 4 + 4 + 13;  // signature, length, type, IHDR data

std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

std::optional<PngHeader> ReadPngHeader(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < kHeaderEnd) return std::nullopt;
  if (std::memcmp(data, kSignature, sizeof(kSignature)) != 0) return std::nullopt;
  if (ReadBigEndian32(data + 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0) return std::nullopt;
  PngHeader header;
  header.width = ReadBigEndian32(data + 16);
  header.height = ReadBigEndian32(data + 20);
  header.bitDepth = data[24];
  header.colourType = data[25];
  return header;
}

}  // namespace pv::skin
