// Conversion between UTF-8 (the box's inner text) and the charsets it meets in files
// and replies. Invalid input never fails the call: what converts survives.
//  - Decoding (toUtf8): a byte that starts no valid character becomes U+FFFD and the
//    conversion resumes at the next byte; an odd last byte of UTF-16 and an unpaired
//    surrogate also become U+FFFD. (Windows' own tables may give "?" or U+FFFD for bad
//    GBK/Big5 bytes; either way the neighbouring text is kept.)
//  - Encoding (fromUtf8): malformed UTF-8 is first repaired as above; a character the
//    target charset cannot hold becomes "?".
// No byte-order mark is added or removed: that belongs to the file format.
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
