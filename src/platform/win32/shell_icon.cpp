// The shell's icon of a file, drawn with GDI onto white.
#include "platform/shell_icon.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/gdi_pixels.h"
#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

// The icon drawn (DrawIconEx, DI_NORMAL) onto white.
void drawIcon(HICON icon, Pixels& picture) {
  win32::drawIntoPixels(picture, [&](HDC dc) {
    RECT all{0, 0, picture.width, picture.height};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &all, white);
    DeleteObject(white);
    DrawIconEx(dc, 0, 0, icon, picture.width, picture.height, 0, nullptr, DI_NORMAL);
    return true;
  });
}

}  // namespace

Pixels shellIconOnWhite(const std::string& path, int width, int height) {
  Pixels picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, kWhite)};
  if (width <= 0 || height <= 0) return picture;
  // The icon flag alone: the attribute is passed but not used in place of the file, so
  // the shell reads the program's own icon rather than a generic one for its type.
  SHFILEINFOW info{};
  if (!SHGetFileInfoW(win32::widePath(path).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_ICON) ||
      !info.hIcon)
    return picture;
  drawIcon(info.hIcon, picture);
  DestroyIcon(info.hIcon);
  return picture;
}

}  // namespace qovra::platform
