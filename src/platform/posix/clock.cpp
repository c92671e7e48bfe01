#include <chrono>
#include <thread>

#include "platform/clock.h"

namespace qovra::platform {

std::uint64_t monotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void sleepMs(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace qovra::platform
