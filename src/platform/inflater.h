// Inflating deflate data in a gzip or zlib wrapper: zlib on every build, so both give
// the same bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qovra::platform {

// What the data inflates to, up to the end of its first stream or to the first damaged
// or missing part (a truncated body gives what came before the cut). More than maxSize
// bytes gives an empty result: such a body is taken as hostile, not decoded.
std::string inflateDeflateStream(std::string_view data, std::size_t maxSize);

}  // namespace qovra::platform
