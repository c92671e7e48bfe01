// Limits every HTTP backend keeps, so a hostile or broken server cannot exhaust memory:
// a reply body beyond this size fails the request (the caller sees an empty reply).
#pragma once

#include <cstddef>

namespace qovra::platform {

inline constexpr std::size_t kMaxReplyBytes = std::size_t{256} << 20;

}  // namespace qovra::platform
