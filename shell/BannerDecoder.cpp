#include "BannerDecoder.h"

#include <csetjmp>
#include <cstdio>
// After <cstdio>: jpeglib.h uses FILE without including it.
#include <jpeglib.h>

namespace {

// Larger pictures than this are not ours; refusing them keeps a damaged
// header from asking for gigabytes.
constexpr JDIMENSION kMaxSide = 4096;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

// libjpeg's own handler calls exit().
[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->escape, 1);
}

void OutputMessage(j_common_ptr) {}

bool Decode(jpeg_decompress_struct* cinfo, const unsigned char* data, std::size_t size,
            DecodedPicture* picture) {
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (cinfo->image_width == 0 || cinfo->image_height == 0 || cinfo->image_width > kMaxSide ||
      cinfo->image_height > kMaxSide) {
    return false;
  }
  cinfo->out_color_space = JCS_RGB;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_components != 3) return false;

  picture->width = static_cast<int>(cinfo->output_width);
  picture->height = static_cast<int>(cinfo->output_height);
  picture->stride = (picture->width * 3 + 3) & ~3;
  picture->pixels.assign(static_cast<std::size_t>(picture->stride) * picture->height, 0);
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row =
        &picture->pixels[static_cast<std::size_t>(cinfo->output_scanline) * picture->stride];
    jpeg_read_scanlines(cinfo, &row, 1);
    for (int x = 0; x < picture->width; ++x) {
      unsigned char* pixel = row + x * 3;
      const unsigned char red = pixel[0];
      pixel[0] = pixel[2];
      pixel[2] = red;
    }
  }
  jpeg_finish_decompress(cinfo);
  return cinfo->err->num_warnings == 0;
}

// Kept apart from the caller so that no local of the frame that calls setjmp
// changes before a longjmp lands in it.
bool GuardedDecode(jpeg_decompress_struct* cinfo, ErrorManager* errors, const unsigned char* data,
                   std::size_t size, DecodedPicture* picture) {
  if (setjmp(errors->escape) != 0) return false;
  return Decode(cinfo, data, size, picture);
}

}  // namespace

bool DecodeJpeg(const unsigned char* data, std::size_t size, DecodedPicture* picture) {
  if (!data || size == 0) return false;
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.output_message = OutputMessage;
  jpeg_create_decompress(&cinfo);
  const bool decoded = GuardedDecode(&cinfo, &errors, data, size, picture);
  jpeg_destroy_decompress(&cinfo);
  if (!decoded) *picture = DecodedPicture{};
  return decoded;
}
