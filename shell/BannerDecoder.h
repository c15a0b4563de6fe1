#pragma once

#include <cstddef>
#include <vector>

// A decoded picture as a top-down 24-bit DIB: BGR pixels, each row padded to a
// multiple of 4 bytes.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<unsigned char> pixels;
};

// Decodes a baseline or progressive JPEG. Any error or warning from the
// decoder (a truncated or corrupt picture) gives false; it never ends the
// process.
bool DecodeJpeg(const unsigned char* data, std::size_t size, DecodedPicture* picture);
