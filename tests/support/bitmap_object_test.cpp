#include "support/bitmap_object.h"

#include <gtest/gtest.h>

namespace qovra {
namespace {

std::uint32_t le(const std::string& s, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

platform::Pixels picture(int width, int height, std::uint32_t fill) {
  return {width, height, std::vector<std::uint32_t>(std::size_t(width) * height, fill)};
}

TEST(BitmapObject, HeadersAndSizesForEachDepth) {
  struct Case {
    int width, height, bits;
    std::size_t stride;
  } cases[] = {
      {32, 32, 32, 128}, {3, 2, 24, 12}, {5, 1, 24, 16}, {3, 4, 16, 8}, {1, 1, 32, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "@" << c.bits);
    BitmapObject bitmap;
    ASSERT_TRUE(bitmap.capture(picture(c.width, c.height, 0x123456), c.bits));
    EXPECT_EQ(BitmapObject::rowStride(c.width, c.bits), c.stride);
    std::string bmp = bitmap.toBmpBytes();
    ASSERT_EQ(bmp.size(), 14 + 40 + c.stride * c.height);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(le(bmp, 2, 4), bmp.size());
    EXPECT_EQ(le(bmp, 6, 4), 0u);
    EXPECT_EQ(le(bmp, 10, 4), 54u);
    EXPECT_EQ(le(bmp, 14, 4), 40u);
    EXPECT_EQ(static_cast<int>(le(bmp, 18, 4)), c.width);
    EXPECT_EQ(static_cast<int>(le(bmp, 22, 4)), c.height);  // positive: bottom-up
    EXPECT_EQ(le(bmp, 26, 2), 1u);
    EXPECT_EQ(static_cast<int>(le(bmp, 28, 2)), c.bits);
    for (std::size_t at = 30; at < 54; ++at) EXPECT_EQ(bmp[at], '\0') << at;
  }
}

TEST(BitmapObject, An32x32PictureIs4150Bytes) {
  BitmapObject bitmap;
  ASSERT_TRUE(bitmap.capture(picture(32, 32, platform::kWhite), 32));
  EXPECT_EQ(bitmap.toBmpBytes().size(), 4150u);
}

TEST(BitmapObject, RowsAreWrittenBottomUpInBlueGreenRedOrder) {
  // Top row red then green, bottom row blue then white.
  platform::Pixels p{2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}};
  BitmapObject bitmap;
  ASSERT_TRUE(bitmap.capture(p, 24));
  std::string rows = bitmap.toBmpBytes().substr(54);
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows, std::string("\xFF\x00\x00" "\xFF\xFF\xFF" "\0\0"      // bottom row first, padded
                              "\x00\x00\xFF" "\x00\xFF\x00" "\0\0", 16));
  ASSERT_TRUE(bitmap.capture(p, 32));
  EXPECT_EQ(bitmap.toBmpBytes().substr(54, 8), std::string("\xFF\0\0\0\xFF\xFF\xFF\0", 8));
  ASSERT_TRUE(bitmap.capture(p, 16));
  // 5-5-5: blue 0x001F, white 0x7FFF, red 0x7C00.
  EXPECT_EQ(bitmap.toBmpBytes().substr(54, 8), std::string("\x1F\x00\xFF\x7F\x00\x7C\xE0\x03", 8));
}

TEST(BitmapObject, RefusedDepthsAndBadPicturesLeaveItEmpty) {
  BitmapObject bitmap;
  ASSERT_TRUE(bitmap.capture(picture(2, 2, 0), 32));
  for (int bits : {0, 1, 2, 4, 8, 33}) {
    EXPECT_FALSE(bitmap.capture(picture(2, 2, 0), bits)) << bits;
    EXPECT_TRUE(bitmap.empty());
    EXPECT_EQ(bitmap.toBmpBytes(), "");
  }
  EXPECT_FALSE(bitmap.capture(platform::Pixels{2, 2, {1, 2, 3}}, 32));
  EXPECT_FALSE(bitmap.capture(picture(0, 0, 0), 32));
  EXPECT_TRUE(bitmap.empty());
}

std::string fixture(const std::string& name) { return std::string(QOVRA_BINARY_DIR) + "/fixtures/" + name; }

// Pixel (x, y) from the top of a 32x32, 32-bit BMP.
std::uint32_t pixelAt(const std::string& bmp, int x, int y) {
  return le(bmp, 54 + std::size_t(31 - y) * 128 + x * 4, 4) & 0xFFFFFF;
}

// The program icons through the shell (the system's on Windows, the program's own
// icon resource elsewhere): each fixture's colour in the middle, white around it.
TEST(BitmapObject, FileIconsAreDrawnOnWhite) {
  struct Case {
    const char* file;
    std::uint32_t centre;
  } cases[] = {
      {"ver_cn.exe", 0xDC1414},
      {"ver_en.exe", 0x1428C8},
      {"ver_x86.exe", 0x14A028},  // only 16 and 48 pixel images: scaled
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    BitmapObject bitmap;
    ASSERT_TRUE(bitmap.fromIcon(fixture(c.file)));
    std::string bmp = bitmap.toBmpBytes();
    ASSERT_EQ(bmp.size(), 4150u);
    EXPECT_EQ(pixelAt(bmp, 16, 16), c.centre);
    EXPECT_EQ(pixelAt(bmp, 0, 0), platform::kWhite);
    EXPECT_EQ(pixelAt(bmp, 31, 31), platform::kWhite);
  }
}

TEST(BitmapObject, AFileWithoutIconGivesAWhitePicture) {
  BitmapObject bitmap;
  ASSERT_TRUE(bitmap.fromIcon(fixture("missing.exe")));
  BitmapObject white;
  ASSERT_TRUE(white.capture(picture(32, 32, platform::kWhite), 32));
  EXPECT_EQ(bitmap.toBmpBytes(), white.toBmpBytes());
}

}  // namespace
}  // namespace qovra
