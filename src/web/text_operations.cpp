#include "web/text_operations.h"

#include <array>
#include <optional>

#include "platform/unicode.h"
#include "support/conventions.h"

namespace qovra::web {

namespace {

// Stand-ins for a missing marker: the start and the end of the text.
constexpr std::string_view kStartMarker = "#Qovra头#";
constexpr std::string_view kEndMarker = "#Qovra尾#";
constexpr std::size_t npos = std::string_view::npos;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && findIgnoringCase(text.substr(0, prefix.size()), prefix) == 0;
}

// --- textBetween ---------------------------------------------------------------------

struct Markers {
  std::string left;
  std::string right;
};

struct Span {
  std::size_t left;   // offset of the left marker
  std::size_t right;  // offset of the right marker
};

std::string withoutChar(std::string text, char gone) {
  std::erase(text, gone);
  return text;
}

std::optional<Span> findForward(std::string_view lowered, const Markers& m, std::size_t start) {
  std::size_t left = lowered.find(m.left, start);
  if (left == npos) return std::nullopt;
  std::size_t right = lowered.find(m.right, left + m.left.size());
  if (right == npos) return std::nullopt;
  return Span{left, right};
}

// The first right marker, then the last left marker that ends before it; a left marker
// at or before the previous right one (leftFound, from 1) does not count, so a walk
// backwards through a reply never yields the same stretch twice.
std::optional<Span> findBackward(std::string_view lowered, const Markers& m, std::size_t start,
                                 int previousRight, int& leftFound) {
  std::size_t right = lowered.find(m.right, start);
  if (right == npos) return std::nullopt;
  leftFound = static_cast<int>(right + 1);
  if (right < m.left.size()) return std::nullopt;
  std::size_t left = lowered.rfind(m.left, right - m.left.size());
  if (left == npos || static_cast<long long>(left) + 1 <= previousRight) return std::nullopt;
  return Span{left, right};
}

// --- addresses -----------------------------------------------------------------------

struct AddressParts {
  bool secure = false;
  std::string_view authority;  // user information, host and port
  std::string_view rest;       // from the first "/", "?" or "#" after the host
};

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view blanks = " \t\r\n";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string_view withoutUserInfo(std::string_view authority) {
  std::size_t at = authority.rfind('@');
  return at == npos ? authority : authority.substr(at + 1);
}

AddressParts splitAuthority(std::string_view fromHost, bool secure) {
  std::size_t end = fromHost.find_first_of("/?#");
  if (end == npos) return {secure, withoutUserInfo(fromHost), {}};
  return {secure, withoutUserInfo(fromHost.substr(0, end)), fromHost.substr(end)};
}

AddressParts splitAddress(std::string_view address) {
  std::string_view a = trimmed(address);
  if (startsWithIgnoringCase(a, "https://")) return splitAuthority(a.substr(8), true);
  if (startsWithIgnoringCase(a, "http://")) return splitAuthority(a.substr(7), false);
  return splitAuthority(a, false);
}

std::optional<int> portNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

// --- jsonUnescape --------------------------------------------------------------------

std::optional<char16_t> hexUnit(std::string_view four) {
  if (four.size() != 4) return std::nullopt;
  unsigned value = 0;
  for (char c : four) {
    char l = lowerAscii(c);
    unsigned digit;
    if (l >= '0' && l <= '9') digit = l - '0';
    else if (l >= 'a' && l <= 'f') digit = l - 'a' + 10;
    else return std::nullopt;
    value = value * 16 + digit;
  }
  return static_cast<char16_t>(value);
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The escape "\uXXXX" at offset d: the unit, or nothing when the four characters are not
// hexadecimal or give zero (then the backslash is an ordinary character).
std::optional<char16_t> unicodeEscapeAt(std::string_view text, std::size_t d) {
  if (text.size() < d + 6 || text[d + 1] != 'u') return std::nullopt;
  std::optional<char16_t> unit = hexUnit(text.substr(d + 2, 4));
  if (!unit || *unit == 0) return std::nullopt;
  return unit;
}

struct DecodedEscape {
  std::string utf8;    // empty for a lone surrogate, which has no character
  std::size_t length;  // bytes of escape text consumed
};

DecodedEscape decodeEscape(std::string_view text, std::size_t d, char16_t unit) {
  if (isHighSurrogate(unit)) {
    std::optional<char16_t> low = text.size() >= d + 7 && text[d + 6] == '\\'
                                      ? unicodeEscapeAt(text, d + 6)
                                      : std::nullopt;
    if (low && isLowSurrogate(*low)) {
      const char16_t pair[] = {unit, *low};
      return {platform::utf16ToUtf8(std::u16string_view(pair, 2)), 12};
    }
    return {{}, 6};
  }
  if (isLowSurrogate(unit)) return {{}, 6};
  return {platform::utf16ToUtf8(std::u16string_view(&unit, 1)), 6};
}

}  // namespace

std::string quotesFromPairs(std::string_view text) {
  return replaceAll(std::string(text), "''", "\"");
}

std::string toLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size() || needle.size() > text.size() - from) return npos;
  for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && lowerAscii(text[i + k]) == lowerAscii(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return npos;
}

std::string textBetween(std::string_view text, std::string_view left, std::string_view right,
                        int& position, bool fromRight, int& leftFound) {
  if (position == kNothingMoreFound) return {};
  Markers given{quotesFromPairs(left), quotesFromPairs(right)};
  std::string work;
  if (given.left.empty()) work = given.left = kStartMarker;
  work += text;
  if (given.right.empty()) work += given.right = kEndMarker;

  const std::string lowered = toLowerAscii(work);
  const std::size_t start = position > 1 ? static_cast<std::size_t>(position) - 1 : 0;
  const int previousRight = leftFound;
  const std::array<Markers, 2> passes = {
      Markers{toLowerAscii(given.left), toLowerAscii(given.right)},
      Markers{withoutChar(toLowerAscii(given.left), '"'),
              withoutChar(toLowerAscii(given.right), '"')}};
  for (const Markers& m : passes) {
    std::optional<Span> span = fromRight
                                   ? findBackward(lowered, m, start, previousRight, leftFound)
                                   : findForward(lowered, m, start);
    if (!span) continue;
    position = static_cast<int>(span->right + m.right.size() + 1);
    std::size_t begin = span->left + m.left.size();
    return work.substr(begin, span->right - begin);
  }
  position = kNothingMoreFound;
  return {};
}

std::string textBetween(std::string_view text, std::string_view left, std::string_view right,
                        bool fromRight) {
  int position = 0;
  int leftFound = 0;
  return textBetween(text, left, right, position, fromRight, leftFound);
}

std::string jsonUnescape(std::string_view text) {
  std::string out;
  std::size_t segment = 0;
  std::size_t p = 0;
  for (;;) {
    std::size_t d = text.find('\\', p);
    if (d == npos || d + 6 > text.size()) break;
    if (std::optional<char16_t> unit = unicodeEscapeAt(text, d)) {
      DecodedEscape escape = decodeEscape(text, d, *unit);
      out.append(text.substr(segment, d - segment)).append(escape.utf8);
      segment = p = d + escape.length;
    } else {
      out.append(text.substr(segment, d + 1 - segment));
      segment = p = d + 1;
    }
  }
  out.append(text.substr(segment));
  out = replaceAll(std::move(out), "\\\"", "\"");
  out = replaceAll(std::move(out), "\\/", "/");
  out = replaceAll(std::move(out), "\\n", "\r\n");
  return replaceAll(std::move(out), "\\t", "\t");
}

std::string urlEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    bool kept = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                c == '.' || c == '_' || c == '-';
    if (kept) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

std::string hostOf(std::string_view address, bool keepPort) {
  std::string host = toLowerAscii(splitAddress(address).authority);
  if (!keepPort) host.resize(std::min(host.size(), host.find(':')));
  return host;
}

std::string pathOf(std::string_view address) {
  std::string_view rest = splitAddress(address).rest;
  rest = rest.substr(0, rest.find('#'));
  if (rest.empty()) return "/";
  return rest.front() == '/' ? std::string(rest) : "/" + std::string(rest);
}

int portOf(std::string_view address) {
  AddressParts parts = splitAddress(address);
  std::string_view host = parts.authority;
  std::size_t colon = host.rfind(':');
  std::optional<int> port = colon == npos ? std::nullopt : portNumber(host.substr(colon + 1));
  return port.value_or(parts.secure ? 443 : 80);
}

std::string hostPart(std::string_view text) {
  std::size_t slashes = text.find("//");
  std::string_view fromHost = slashes == npos ? text : text.substr(slashes + 2);
  return std::string(splitAuthority(fromHost, false).authority);
}

}  // namespace qovra::web
