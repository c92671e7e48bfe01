// The screen's pixels through GDI: a copy of the rectangle into a top-down 32-bit DIB.
#include "platform/screen_capture.h"

#include <windows.h>

namespace qovra::platform {

Pixels captureScreen(int left, int top, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  Pixels picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, 0)};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (dc && bitmap && bits) {
    HGDIOBJ previous = SelectObject(dc, bitmap);
    copied = BitBlt(dc, 0, 0, width, height, screen, left, top, SRCCOPY) != 0;
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; copied && i < picture.rgb.size(); ++i) picture.rgb[i] = source[i] & 0xFFFFFF;
    SelectObject(dc, previous);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return copied ? picture : Pixels{};
}

}  // namespace qovra::platform
