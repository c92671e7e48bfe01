// The shell's icon of a file, drawn with GDI onto white.
#include "platform/shell_icon.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

// The icon drawn (DrawIconEx, DI_NORMAL) into a top-down 32-bit DIB section filled white.
void drawIcon(HICON icon, Pixels& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dc && bitmap && bits) {
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RECT all{0, 0, picture.width, picture.height};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &all, white);
    DeleteObject(white);
    DrawIconEx(dc, 0, 0, icon, picture.width, picture.height, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < picture.rgb.size(); ++i) picture.rgb[i] = source[i] & 0xFFFFFF;
    SelectObject(dc, previous);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  ReleaseDC(nullptr, screen);
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
