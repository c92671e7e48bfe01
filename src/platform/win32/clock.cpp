#include <windows.h>

#include "platform/clock.h"

namespace qovra::platform {

std::uint64_t monotonicMs() { return GetTickCount64(); }
void sleepMs(std::uint32_t ms) { Sleep(ms); }

}  // namespace qovra::platform
