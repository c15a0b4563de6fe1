// Any bytes at all as a RIFF/WAVE image: the walk must neither read outside
// them nor report chunks that do not lie inside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "shell/WaveChunks.h"

namespace {

bool Inside(const std::uint8_t* image, std::size_t length, const std::uint8_t* at,
            std::size_t size) {
  return at >= image && at <= image + length &&
         size <= static_cast<std::size_t>(image + length - at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WaveChunks chunks{};
  if (!FindWaveChunks(data, size, &chunks)) return 0;
  if (!Inside(data, size, chunks.format, chunks.formatSize) || chunks.formatSize < 16 ||
      !Inside(data, size, chunks.samples, chunks.samplesSize) || chunks.samplesSize == 0) {
    std::abort();
  }
  return 0;
}
