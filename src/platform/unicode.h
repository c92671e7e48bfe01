// UTF-8 <-> UTF-16 without the OS: the same rules on every build, used by the charset
// backends, the Windows path conversion and the .lnk format (which stores UTF-16LE).
// Malformed input never fails: each byte of a bad UTF-8 sequence and each unpaired
// surrogate becomes U+FFFD, everything else survives unchanged.
#pragma once

#include <string>
#include <string_view>

namespace qovra::platform {

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// UTF-16 held as bytes in the given byte order; an odd last byte becomes U+FFFD.
std::string utf16BytesToUtf8(std::string_view bytes, bool bigEndian);
std::string utf8ToUtf16Bytes(std::string_view utf8, bool bigEndian);

// The same text with every malformed sequence replaced as above.
std::string sanitizeUtf8(std::string_view utf8);

}  // namespace qovra::platform
