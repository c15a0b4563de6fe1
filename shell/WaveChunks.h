// Finding the format and the samples in a RIFF/WAVE image that may hold any
// bytes at all.
#pragma once

#include <cstddef>
#include <cstdint>

struct WaveChunks {
  const std::uint8_t* format;  // the "fmt " body, at least a PCM format's 16 bytes
  std::size_t formatSize;
  const std::uint8_t* samples;  // the "data" body, cut to the bytes the image holds
  std::size_t samplesSize;
};

// Walks the chunks of a RIFF/WAVE image up to the end of its form or of the
// image, whichever comes first, skipping every chunk but the first "fmt " and
// "data" (in either order) and the pad byte after an odd-sized chunk. False
// unless the image is at least 36 bytes of "RIFF" form "WAVE" with both
// chunks, a format of at least 16 bytes and at least one sample byte present.
bool FindWaveChunks(const void* image, std::size_t length, WaveChunks* chunks);
