// One device-independent bitmap in memory that can be written out as a BMP file. The
// icon cache of the catalogue rows uses it to keep a program's icon at 32x32 on white.
#pragma once

#include <string>

#include "platform/shell_icon.h"

namespace qovra {

class BitmapObject {
 public:
  // The shell icon of a file drawn at width x height onto white, kept at the given
  // depth. False (and the object empty) when the depth is refused.
  bool fromIcon(const std::string& filePath, int width = 32, int height = 32, int bitsPerPixel = 32);

  // Keeps a picture at 16 (5-5-5), 24 or 32 bits per pixel. The palette depths 1, 4
  // and 8 (and any other) are refused and leave the object empty: the box never
  // stores pictures with a colour table.
  bool capture(const platform::Pixels& picture, int bitsPerPixel);

  // A BITMAPFILEHEADER followed by the packed bitmap (BITMAPINFOHEADER and the pixel
  // rows, bottom row first, each padded to four bytes); empty when nothing is held.
  std::string toBmpBytes() const;

  bool empty() const { return packedDib_.empty(); }
  void release() { packedDib_.clear(); }

  // Bytes of one pixel row: width x bits rounded up to a whole number of 32-bit words.
  static std::size_t rowStride(int width, int bitsPerPixel);

 private:
  std::string packedDib_;  // BITMAPINFOHEADER (40 bytes) + pixel rows
};

}  // namespace qovra
