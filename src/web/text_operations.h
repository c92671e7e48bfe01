// Small text and address operations shared by the share-link resolvers, the request
// paths and the transfer. Texts are UTF-8; positions count bytes from 1. Every search
// that ignores case folds ASCII letters only, which is all that markers, tags and
// addresses need.
#pragma once

#include <string>
#include <string_view>

namespace qovra::web {

// The text with ASCII letters in lower case; other bytes unchanged.
std::string toLowerAscii(std::string_view text);
// The offset of the first occurrence of needle at or after from, ignoring ASCII case;
// npos when there is none.
std::size_t findIgnoringCase(std::string_view text, std::string_view needle, std::size_t from = 0);

// The text with every doubled single quote '' turned into a double quote: how markers,
// lists and paths written inside the box's own texts spell a double quote.
std::string quotesFromPairs(std::string_view text);

// Where a textBetween search goes on: position and leftFound are the caller's in/out
// values, kept between calls that walk one reply.
inline constexpr int kNothingMoreFound = -2;

// The text between a left and a right marker, searched from position (0 or 1: the start)
// forwards, or with fromRight the last left marker before the first right one. In the
// markers '' stands for a double quote; an empty left marker means from the start, an
// empty right one to the end. When the markers are not found as given, they are tried
// again without their double quotes (a reply whose keys are written without quotes).
// On success position moves past the right marker; when nothing is found it becomes
// kNothingMoreFound and every later call gives an empty text.
std::string textBetween(std::string_view text, std::string_view left, std::string_view right,
                        int& position, bool fromRight, int& leftFound);
// The same search once from the start.
std::string textBetween(std::string_view text, std::string_view left, std::string_view right,
                        bool fromRight = false);

// A JSON string body made readable: \uXXXX escapes become their characters (a pair of
// surrogates one character, a lone surrogate nothing), then \" \/ \n \t become a double
// quote, a slash, "\r\n" and a tab. Other escapes stay as written.
std::string jsonUnescape(std::string_view text);

// Percent-encoding of the UTF-8 bytes: ASCII letters, digits, ".", "_" and "-" stay, every
// other byte becomes "%" and two upper-case hexadecimal digits.
std::string urlEncode(std::string_view text);

// The parts of an address. A missing scheme means "http://"; "https://" in any case is
// secure. The host is lower-cased and ends at the first "/", "?" or "#"; user
// information before an "@" is not part of it.
std::string hostOf(std::string_view address, bool keepPort = false);
// What follows the host, query included and fragment left out; "/" when nothing does.
std::string pathOf(std::string_view address);
// The port the address names, else 443 for https and 80 for everything else.
int portOf(std::string_view address);
// The host as written (case and port kept): after the first "//", or from the start of
// the text when there is none, up to the next "/", "?" or "#".
std::string hostPart(std::string_view text);

}  // namespace qovra::web
