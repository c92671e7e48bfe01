// The screen's pixels through GDI: a copy of the rectangle into a top-down 32-bit DIB.
#include "platform/screen_capture.h"

#include <windows.h>

#include "platform/win32/gdi_pixels.h"

namespace qovra::platform {

Pixels captureScreen(int left, int top, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  Pixels picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, 0)};
  const bool copied = win32::drawIntoPixels(picture, [&](HDC dc) {
    HDC screen = GetDC(nullptr);
    const bool done = BitBlt(dc, 0, 0, width, height, screen, left, top, SRCCOPY) != 0;
    ReleaseDC(nullptr, screen);
    return done;
  });
  return copied ? picture : Pixels{};
}

}  // namespace qovra::platform
