// The icon the shell shows for a file, as pixels the portable code can store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qovra::platform {

// A picture in memory: width x height pixels, top row first, each 0x00RRGGBB.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
};

inline constexpr std::uint32_t kWhite = 0xFFFFFF;

// The file's shell icon (the file-information query with the "normal" attribute, 128,
// and the icon flag, 256) drawn scaled to width x height onto a white picture; the
// picture stays all white when the file has no icon that can be drawn.
Pixels shellIconOnWhite(const std::string& path, int width, int height);

}  // namespace qovra::platform
