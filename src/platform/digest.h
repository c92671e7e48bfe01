// Message digests, as raw bytes (16 for MD5, 20 for SHA-1).
#pragma once

#include <string>
#include <string_view>

namespace qovra::platform {

std::string md5(std::string_view bytes);
std::string sha1(std::string_view bytes);

}  // namespace qovra::platform
