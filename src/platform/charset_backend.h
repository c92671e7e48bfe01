// The half of charset conversion that needs the system's code tables (GB18030, Big5,
// Big5-HKSCS); UTF-8 and UTF-16 are converted portably in charset.cpp.
// decodeLegacy gets raw bytes; encodeLegacy gets well-formed UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "platform/charset.h"

namespace qovra::platform::detail {

std::string decodeLegacy(std::string_view bytes, Charset from);
std::string encodeLegacy(std::string_view utf8, Charset to);

}  // namespace qovra::platform::detail
