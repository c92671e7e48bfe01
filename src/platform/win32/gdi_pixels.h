// Drawing into memory with GDI: top-down 32-bit DIB sections, and pictures drawn into one
// and read back as pixels.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/shell_icon.h"

namespace qovra::platform::win32 {

// A blank top-down 32-bit DIB section; its pixels through `bits`. Null when GDI refuses.
HBITMAP createTopDownDib(int width, int height, void** bits);

// Runs `draw` on a memory DC holding a fresh DIB of the picture's size, then copies the
// pixels into the picture without their alpha byte. False, leaving the picture as it
// was, when GDI refuses or `draw` reports failure.
bool drawIntoPixels(Pixels& picture, const std::function<bool(HDC dc)>& draw);

}  // namespace qovra::platform::win32
