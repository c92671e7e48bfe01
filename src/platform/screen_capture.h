// A picture of part of the screen, so tests and tools can keep what the box drew.
#pragma once

#include "platform/shell_icon.h"

namespace qovra::platform {

// The screen's pixels in the rectangle, top row first. Empty (0 x 0) where the platform
// has no screen of its own.
Pixels captureScreen(int left, int top, int width, int height);

}  // namespace qovra::platform
