#include "platform/win32/gdi_pixels.h"

namespace qovra::platform::win32 {

HBITMAP createTopDownDib(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  *bits = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

bool drawIntoPixels(Pixels& picture, const std::function<bool(HDC dc)>& draw) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = createTopDownDib(picture.width, picture.height, &bits);
  bool drawn = false;
  if (dc && bitmap && bits) {
    HGDIOBJ previous = SelectObject(dc, bitmap);
    drawn = draw(dc);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; drawn && i < picture.rgb.size(); ++i) picture.rgb[i] = source[i] & 0xFFFFFF;
    SelectObject(dc, previous);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return drawn;
}

}  // namespace qovra::platform::win32
