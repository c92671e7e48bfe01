// Turning reply bytes into the box's text (UTF-8): gzip bodies are inflated when the
// optional "gzip.dll" stands in the program's folder, and the charset comes from the
// caller, a byte-order mark, the page's meta tags or a UTF-8 plausibility test. Bytes
// that name no other charset are taken as the system's ANSI code page (GBK).
#pragma once

#include <string>
#include <string_view>

#include "platform/charset.h"

namespace qovra::web {

// How a reply becomes text. The box passes these codes around as plain integers (an
// in/out argument of the request operations); any other value is treated as ANSI.
using ReplyEncoding = int;
inline constexpr ReplyEncoding kEncodingRequestObjectText = -2;  // request object's own text
inline constexpr ReplyEncoding kEncodingBodyAsIs = -1;           // body bytes, unchanged
inline constexpr ReplyEncoding kEncodingDetect = 0;
inline constexpr ReplyEncoding kEncodingAnsi = 1;
inline constexpr ReplyEncoding kEncodingUtf8 = 2;
inline constexpr ReplyEncoding kEncodingUtf16LE = 3;
inline constexpr ReplyEncoding kEncodingUtf16BE = 4;
inline constexpr ReplyEncoding kEncodingBig5 = 5;
inline constexpr ReplyEncoding kEncodingBig5Hkscs = 6;

struct DecodedReply {
  std::string text;          // UTF-8; ends at the first zero character, as every text does
  ReplyEncoding encoding{};  // the code actually used: 1 to 6
};

// The main entry: the text of a reply body and the encoding it was read in.
DecodedReply decodeReplyText(std::string_view bytes, ReplyEncoding encoding);

// True when a file "gzip.dll" exists in the program's folder (the run directory that
// start-up records, or the platform's when start-up has not run). Only then are gzip
// bodies inflated, by decodeReplyText and by the callers of inflateGzip.
bool gzipLibraryPresent();

// The inflated content of a gzip (or zlib) stream: what could be inflated before a
// damaged or truncated part; nothing for a body that would inflate past 64 MiB.
// Does not look for "gzip.dll": callers test first.
std::string inflateGzip(std::string_view data);

// True when text contains, ignoring ASCII case, any non-empty item of list split on
// delimiter. A doubled single quote '' in the list stands for a double quote.
bool containsAnyOf(std::string_view text, std::string_view list, std::string_view delimiter = "|");

// The charset that the first matching <meta> tag of an HTML page names.
enum class MetaCharset { None = 0, Utf8 = 1, Big5 = 2, Big5Hkscs = 3 };
MetaCharset detectMetaCharset(std::string_view text);

// True when the bytes are made of ASCII and two- and three-byte UTF-8 sequences only and
// at least one byte is not ASCII (pure ASCII proves nothing, so it gives false).
bool looksLikeUtf8(std::string_view bytes);

// The bytes re-encoded from one charset to another; what cannot be read becomes U+FFFD,
// what the target cannot hold becomes "?".
std::string convertCharset(std::string_view bytes, platform::Charset from, platform::Charset to);

}  // namespace qovra::web
