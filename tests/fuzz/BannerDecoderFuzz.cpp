// Arbitrary bytes as a banner picture: decoding either fails or gives a
// picture whose pixel block matches its sizes; it never ends the process.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "shell/BannerDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DecodedPicture picture;
  if (!DecodeJpeg(data, size, &picture)) return 0;
  if (picture.width <= 0 || picture.height <= 0 || picture.stride % 4 != 0 ||
      picture.stride < picture.width * 3 ||
      picture.pixels.size() != static_cast<std::size_t>(picture.stride) * picture.height) {
    std::abort();
  }
  return 0;
}
