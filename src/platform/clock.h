// The real clock. Logic asks the window toolkit for time (ui::Toolkit::nowMs), which is
// this clock on Windows and a virtual clock headless.
#pragma once

#include <cstdint>

namespace qovra::platform {

std::uint64_t monotonicMs();
void sleepMs(std::uint32_t ms);

}  // namespace qovra::platform
