// Without a shell, the icon is the program file's own first icon group, read by the
// portable reader and drawn the way the shell draws it: the closest image scaled to
// the wanted size and blended by its alpha onto white. Compressed (PNG) icon images are
// not decoded and leave the picture white.
#include "platform/shell_icon.h"

#include "platform/pe_version_reader.h"
#include "platform/posix/mapped_file.h"

namespace qovra::platform {
namespace {

std::uint32_t blendOnWhite(std::uint32_t argb) {
  std::uint32_t alpha = argb >> 24;
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    std::uint32_t c = (argb >> shift) & 0xFF;
    out |= ((c * alpha + 255 * (255 - alpha) + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

Pixels shellIconOnWhite(const std::string& path, int width, int height) {
  Pixels picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, kWhite)};
  if (width <= 0 || height <= 0) return picture;
  posix::MappedFile file(path);
  auto icon = pe::iconImage(file.bytes(), width, height);
  if (!icon) return picture;
  for (int y = 0; y < height; ++y) {
    int sy = y * icon->height / height;
    for (int x = 0; x < width; ++x) {
      int sx = x * icon->width / width;
      picture.rgb[std::size_t(y) * width + x] = blendOnWhite(icon->argb[std::size_t(sy) * icon->width + sx]);
    }
  }
  return picture;
}

}  // namespace qovra::platform
