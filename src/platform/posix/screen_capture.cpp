// The native build draws no windows: there is nothing on a screen to take.
#include "platform/screen_capture.h"

namespace qovra::platform {

Pixels captureScreen(int, int, int, int) { return {}; }

}  // namespace qovra::platform
