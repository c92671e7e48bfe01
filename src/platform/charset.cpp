#include "platform/charset.h"

#include "platform/charset_backend.h"
#include "platform/unicode.h"

namespace qovra::platform {

std::string toUtf8(std::string_view bytes, Charset from) {
  switch (from) {
    case Charset::Utf8: return sanitizeUtf8(bytes);
    case Charset::Utf16LE: return utf16BytesToUtf8(bytes, false);
    case Charset::Utf16BE: return utf16BytesToUtf8(bytes, true);
    default: return detail::decodeLegacy(bytes, from);
  }
}

std::string fromUtf8(std::string_view utf8, Charset to) {
  switch (to) {
    case Charset::Utf8: return sanitizeUtf8(utf8);
    case Charset::Utf16LE: return utf8ToUtf16Bytes(utf8, false);
    case Charset::Utf16BE: return utf8ToUtf16Bytes(utf8, true);
    default: return detail::encodeLegacy(sanitizeUtf8(utf8), to);
  }
}

}  // namespace qovra::platform
