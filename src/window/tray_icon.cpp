#include "window/tray_icon.h"

#include <cstdint>

namespace qovra {
namespace {

constexpr int kSize = 16;

// Top row first. '.' transparent, 'b' blue, 'w' white.
constexpr const char* kArt[kSize] = {
    "................",
    ".bbbbbbbbbbbbbb.",
    "bbbbbbbbbbbbbbbb",
    "bbbbbwwwwwwbbbbb",
    "bbbbwwbbbbwwbbbb",
    "bbbwwbbbbbbwwbbb",
    "bbbwwbbbbbbwwbbb",
    "bbbwwbbbbbbwwbbb",
    "bbbwwbbbbbbwwbbb",
    "bbbwwbbwwbbwwbbb",
    "bbbbwwbbwwwwbbbb",
    "bbbbbwwwwwwbbbbb",
    "bbbbbbbbbbwwwbbb",
    "bbbbbbbbbbbbwbbb",
    ".bbbbbbbbbbbbbb.",
    "................",
};

void put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t argb(char c) {
  switch (c) {
    case 'b': return 0xFF1F5FBFu;
    case 'w': return 0xFFFFFFFFu;
    default: return 0;
  }
}

}  // namespace

std::string trayIconBytes() {
  constexpr std::uint32_t kMaskStride = 4;  // 16 bits rounded up to a 32-bit word
  constexpr std::uint32_t kImageBytes = 40 + kSize * kSize * 4 + kSize * kMaskStride;
  std::string out;
  // ICONDIR and its one entry.
  put(out, 0, 2);
  put(out, 1, 2);
  put(out, 1, 2);
  put(out, kSize, 1);
  put(out, kSize, 1);
  put(out, 0, 2);  // no palette, reserved
  put(out, 1, 2);  // planes
  put(out, 32, 2);
  put(out, kImageBytes, 4);
  put(out, 6 + 16, 4);
  // The image: a BITMAPINFOHEADER of twice the height (colours, then mask), rows bottom up.
  put(out, 40, 4);
  put(out, kSize, 4);
  put(out, 2 * kSize, 4);
  put(out, 1, 2);
  put(out, 32, 2);
  out.append(24, '\0');
  for (int y = kSize - 1; y >= 0; --y)
    for (int x = 0; x < kSize; ++x) put(out, argb(kArt[y][x]), 4);
  for (int y = kSize - 1; y >= 0; --y) {
    std::uint32_t mask = 0;  // most significant bit first; set: transparent
    for (int x = 0; x < kSize; ++x)
      if (kArt[y][x] == '.') mask |= 0x8000u >> x;
    out += static_cast<char>(mask >> 8);
    out += static_cast<char>(mask & 0xFF);
    out.append(kMaskStride - 2, '\0');
  }
  return out;
}

}  // namespace qovra
