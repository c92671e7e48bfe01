// UTF-8 texts and paths as the W APIs want them. A path's "/" becomes "\" so callers
// can hand over either form.
#pragma once

#include <string>
#include <string_view>

namespace qovra::platform::win32 {

std::wstring wideText(std::string_view utf8);
std::wstring widePath(std::string_view utf8);
std::string narrowText(std::wstring_view wide);

}  // namespace qovra::platform::win32
