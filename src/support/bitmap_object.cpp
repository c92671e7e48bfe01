#include "support/bitmap_object.h"

#include <cstdint>

namespace qovra {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putPixel(std::string& row, std::uint32_t rgb, int bitsPerPixel) {
  std::uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
  if (bitsPerPixel == 16) {
    putLittleEndian(row, (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3), 2);
  } else {
    putLittleEndian(row, rgb & 0xFFFFFF, bitsPerPixel / 8);  // blue, green, red (, 0)
  }
}

}  // namespace

std::size_t BitmapObject::rowStride(int width, int bitsPerPixel) {
  return ((std::size_t(width) * bitsPerPixel + 31) >> 5) << 2;
}

bool BitmapObject::capture(const platform::Pixels& picture, int bitsPerPixel) {
  release();
  if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.rgb.size() != std::size_t(picture.width) * picture.height)
    return false;
  std::size_t stride = rowStride(picture.width, bitsPerPixel);
  std::string dib;
  dib.reserve(kInfoHeaderSize + stride * picture.height);
  putLittleEndian(dib, kInfoHeaderSize, 4);
  putLittleEndian(dib, static_cast<std::uint32_t>(picture.width), 4);
  putLittleEndian(dib, static_cast<std::uint32_t>(picture.height), 4);  // positive: bottom-up
  putLittleEndian(dib, 1, 2);                                             // planes
  putLittleEndian(dib, static_cast<std::uint32_t>(bitsPerPixel), 2);
  dib.append(24, '\0');  // no compression, image size, resolution, colours: all 0
  for (int y = picture.height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < picture.width; ++x)
      putPixel(row, picture.rgb[std::size_t(y) * picture.width + x], bitsPerPixel);
    row.resize(stride, '\0');
    dib += row;
  }
  packedDib_ = std::move(dib);
  return true;
}

bool BitmapObject::fromIcon(const std::string& filePath, int width, int height, int bitsPerPixel) {
  return capture(platform::shellIconOnWhite(filePath, width, height), bitsPerPixel);
}

std::string BitmapObject::toBmpBytes() const {
  if (packedDib_.empty()) return {};
  std::string out = "BM";
  putLittleEndian(out, static_cast<std::uint32_t>(kFileHeaderSize + packedDib_.size()), 4);
  putLittleEndian(out, 0, 4);
  putLittleEndian(out, static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize), 4);
  return out + packedDib_;
}

}  // namespace qovra
