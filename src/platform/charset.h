// Conversion between UTF-8 (the box's inner text) and the charsets it meets in files
// and replies. Invalid input never fails the call: what converts survives.
#pragma once

#include <string>
#include <string_view>

namespace qovra::platform {

enum class Charset {
  Utf8,
  Gbk,        // GB18030 where the platform has it (a superset of code page 936)
  Utf16LE,
  Utf16BE,
  Big5,
  Big5Hkscs,
};

std::string toUtf8(std::string_view bytes, Charset from);
std::string fromUtf8(std::string_view utf8, Charset to);

}  // namespace qovra::platform
