#include "WaveChunks.h"

#include <cstring>

namespace {

constexpr std::size_t kMinImageSize = 36;
constexpr std::size_t kFirstChunk = 12;
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::size_t kPcmFormatSize = 16;

std::uint32_t ReadLe32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

bool HasId(const std::uint8_t* at, const char (&id)[5]) { return std::memcmp(at, id, 4) == 0; }

}  // namespace

bool FindWaveChunks(const void* image, std::size_t length, WaveChunks* chunks) {
  const auto* bytes = static_cast<const std::uint8_t*>(image);
  if (!bytes || length < kMinImageSize) return false;
  if (!HasId(bytes, "RIFF") || !HasId(bytes + 8, "WAVE")) return false;

  // Sizes are compared with what is left before they are added, so that no
  // 32-bit size can wrap a position, on 32-bit builds included.
  const std::uint32_t formSize = ReadLe32(bytes + 4);
  const std::size_t end = formSize < length - 8 ? 8 + formSize : length;

  WaveChunks found{};
  std::size_t at = kFirstChunk;
  while ((!found.format || !found.samples) && at <= end && end - at >= kChunkHeaderSize) {
    const std::uint8_t* header = bytes + at;
    const std::size_t body = at + kChunkHeaderSize;
    const std::size_t size = ReadLe32(header + 4);
    const std::size_t present = size < end - body ? size : end - body;
    if (HasId(header, "fmt ") && !found.format) {
      found.format = bytes + body;
      found.formatSize = present;
    } else if (HasId(header, "data") && !found.samples) {
      found.samples = bytes + body;
      found.samplesSize = present;
    }
    if (size >= end - body) break;
    at = body + size + (size & 1);
  }

  if (!found.format || found.formatSize < kPcmFormatSize) return false;
  if (!found.samples || found.samplesSize == 0) return false;
  *chunks = found;
  return true;
}
