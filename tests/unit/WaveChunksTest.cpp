#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/WaveChunks.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kNoSize = 0xDEADBEEF;

void AppendLe32(Bytes& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back((value >> shift) & 0xFF);
}

// A chunk with its body and the pad byte after an odd body; claimed replaces
// the size field.
Bytes Chunk(const char* id, Bytes body, std::uint32_t claimed = kNoSize) {
  Bytes chunk(id, id + 4);
  AppendLe32(chunk, claimed == kNoSize ? static_cast<std::uint32_t>(body.size()) : claimed);
  chunk.insert(chunk.end(), body.begin(), body.end());
  if (body.size() % 2) chunk.push_back(0);
  return chunk;
}

Bytes Filled(std::size_t size, std::uint8_t value) { return Bytes(size, value); }

Bytes Format() { return {1, 0, 2, 0, 0x22, 0x56, 0, 0, 0x88, 0x58, 1, 0, 4, 0, 16, 0}; }

Bytes Wave(const std::vector<Bytes>& chunks, std::uint32_t formSize = kNoSize,
           const char* riff = "RIFF", const char* form = "WAVE") {
  Bytes body(form, form + 4);
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  Bytes image(riff, riff + 4);
  AppendLe32(image, formSize == kNoSize ? static_cast<std::uint32_t>(body.size()) : formSize);
  image.insert(image.end(), body.begin(), body.end());
  return image;
}

Bytes Cut(Bytes image, std::size_t length) {
  image.resize(length);
  return image;
}

struct Found {
  std::size_t formatAt, formatSize, samplesAt, samplesSize;
};

struct ImageCase {
  const char* name;
  Bytes image;
  bool ok;
  Found found;
};

TEST(WaveChunksTest, FindsTheFormatAndTheSamplesOrRefuses) {
  const Bytes fmt = Chunk("fmt ", Format());
  const Bytes data = Chunk("data", Filled(8, 0x55));
  const std::vector<ImageCase> cases = {
      {"format, then samples", Wave({fmt, data}), true, {20, 16, 44, 8}},
      {"samples before the format", Wave({data, fmt}), true, {36, 16, 20, 8}},
      {"other chunks skipped",
       Wave({Chunk("LIST", Filled(26, 'x')), fmt, data}),
       true,
       {54, 16, 78, 8}},
      {"an odd chunk is followed by a pad byte",
       Wave({Chunk("junk", Filled(3, 'j')), fmt, data}),
       true,
       {32, 16, 56, 8}},
      {"18-byte format", Wave({Chunk("fmt ", Bytes(18, 1)), data}), true, {20, 18, 46, 8}},
      {"the first of two data chunks",
       Wave({fmt, data, Chunk("data", Filled(4, 1))}),
       true,
       {20, 16, 44, 8}},
      {"data longer than the image: the bytes present",
       Wave({fmt, Chunk("data", Filled(8, 0x55), 1000)}),
       true,
       {20, 16, 44, 8}},
      {"data longer than the form: the bytes inside it",
       Wave({fmt, data}, 4 + 24 + 8 + 5),
       true,
       {20, 16, 44, 5}},
      {"a form size past the image", Wave({fmt, data}, 0xFFFFFFFF), true, {20, 16, 44, 8}},
      {"null image", {}, false, {}},
      {"length below 36", Cut(Wave({fmt, data}), 35), false, {}},
      {"another form type", Wave({fmt, data}, kNoSize, "RIFF", "AVI "), false, {}},
      {"not RIFF", Wave({fmt, data}, kNoSize, "RIFX"), false, {}},
      {"no format", Wave({Chunk("LIST", Filled(26, 'x')), data}), false, {}},
      {"no data", Wave({fmt, Chunk("LIST", Filled(26, 'x'))}), false, {}},
      {"empty data", Wave({fmt, Chunk("data", {})}), false, {}},
      {"data header at the very end", Wave({fmt, Chunk("data", {}, 100)}), false, {}},
      {"format shorter than PCM's", Wave({Chunk("fmt ", Filled(14, 1)), data}), false, {}},
      {"format cut off by the image", Cut(Wave({data, fmt}), 20 + 8 + 8 + 10), false, {}},
      {"chunks after the form's end", Wave({fmt, data}, 4 + 24), false, {}},
      {"a form size below its type", Wave({fmt, data}, 0), false, {}},
      {"truncated chunk header", Cut(Wave({fmt, Chunk("data", Filled(8, 1))}), 44 - 4), false, {}},
      {"chunk size 0xFFFFFFFF", Wave({Chunk("junk", {}, 0xFFFFFFFF), fmt, data}), false, {}},
      {"chunk size wrapping a 32-bit position",
       Wave({Chunk("junk", {}, 0xFFFFFFF0), fmt, data}),
       false,
       {}},
  };
  for (const ImageCase& c : cases) {
    WaveChunks chunks{};
    const void* image = c.image.empty() ? nullptr : c.image.data();
    const bool ok = FindWaveChunks(image, c.image.size(), &chunks);
    ASSERT_EQ(ok, c.ok) << c.name;
    if (!ok) continue;
    EXPECT_EQ(chunks.format - c.image.data(), static_cast<std::ptrdiff_t>(c.found.formatAt))
        << c.name;
    EXPECT_EQ(chunks.formatSize, c.found.formatSize) << c.name;
    EXPECT_EQ(chunks.samples - c.image.data(), static_cast<std::ptrdiff_t>(c.found.samplesAt))
        << c.name;
    EXPECT_EQ(chunks.samplesSize, c.found.samplesSize) << c.name;
  }
}

}  // namespace
