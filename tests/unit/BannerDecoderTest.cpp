#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "shell/BannerDecoder.h"

namespace {

std::vector<unsigned char> ReadBanner() {
  std::ifstream file(F2_RESOURCES_DIR "/banner.jpg", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(BannerDecoderTest, DecodesTheBannerInto24BitRows) {
  const std::vector<unsigned char> banner = ReadBanner();
  ASSERT_GT(banner.size(), 1000u);
  DecodedPicture picture;
  ASSERT_TRUE(DecodeJpeg(banner.data(), banner.size(), &picture));
  EXPECT_EQ(picture.width, 320);
  EXPECT_EQ(picture.height, 130);
  EXPECT_EQ(picture.stride, 960);
  EXPECT_EQ(picture.pixels.size(), 960u * 130u);
  // Not one flat colour.
  std::size_t differing = 0;
  for (std::size_t i = 3; i < picture.pixels.size(); i += 3) {
    differing += picture.pixels[i] != picture.pixels[0];
  }
  EXPECT_GT(differing, picture.pixels.size() / 30);
}

TEST(BannerDecoderTest, DamagedPicturesAreRefusedWithoutEndingTheProcess) {
  const std::vector<unsigned char> banner = ReadBanner();
  ASSERT_GT(banner.size(), 1000u);
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
  };
  std::vector<Case> cases = {
      {"truncated in the scan", {banner.begin(), banner.begin() + banner.size() / 2}},
      {"truncated in the header", {banner.begin(), banner.begin() + 20}},
      {"not a JPEG", std::vector<unsigned char>(5000, 0x42)},
      {"scan data overwritten", banner},
      {"start of frame damaged", banner},
  };
  for (std::size_t i = banner.size() * 2 / 3; i < banner.size() * 2 / 3 + 64; ++i) {
    cases[3].bytes[i] = 0xFF;
  }
  for (std::size_t i = 2; i + 1 < banner.size(); ++i) {
    if (banner[i] == 0xFF && banner[i + 1] == 0xC0) {
      cases[4].bytes[i + 5] = 0;  // a height of 0
      cases[4].bytes[i + 6] = 0;
      break;
    }
  }
  for (const Case& c : cases) {
    DecodedPicture picture;
    EXPECT_FALSE(DecodeJpeg(c.bytes.data(), c.bytes.size(), &picture)) << c.name;
    EXPECT_EQ(picture.width, 0) << c.name;
    EXPECT_TRUE(picture.pixels.empty()) << c.name;
  }
}

}  // namespace
