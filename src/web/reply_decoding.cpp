#include "web/reply_decoding.h"

#include <utility>

#include "platform/files.h"
#include "platform/inflater.h"
#include "support/process_state.h"
#include "web/text_operations.h"

namespace qovra::web {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";
constexpr std::string_view kGzipMagic = "\x1F\x8B";

// A hostile reply of a megabyte can inflate to a gigabyte; replies are pages and small
// listings, so past this the body is taken as undecodable rather than exhausting the
// memory of a 32-bit process.
constexpr std::size_t kMaxInflatedSize = std::size_t{64} << 20;

bool startsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// Every text made from bytes ends at the first zero byte.
std::string_view upToZero(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

std::string programFolder() {
  const std::string& recorded = processState().runDirectory;
  return recorded.empty() ? platform::runDirectory() : recorded;
}

platform::Charset charsetOf(ReplyEncoding encoding) {
  switch (encoding) {
    case kEncodingUtf16LE: return platform::Charset::Utf16LE;
    case kEncodingUtf16BE: return platform::Charset::Utf16BE;
    case kEncodingBig5: return platform::Charset::Big5;
    case kEncodingBig5Hkscs: return platform::Charset::Big5Hkscs;
    default: return platform::Charset::Utf8;
  }
}

bool isConvertedEncoding(ReplyEncoding encoding) {
  return encoding >= kEncodingUtf8 && encoding <= kEncodingBig5Hkscs;
}

struct BodyStart {
  ReplyEncoding encoding;
  std::size_t offset;  // bytes of a byte-order mark to skip
};

BodyStart detectBodyStart(std::string_view all) {
  if (startsWith(all, kUtf8Mark)) return {kEncodingUtf8, kUtf8Mark.size()};
  if (startsWith(all, kUtf16LEMark)) return {kEncodingUtf16LE, kUtf16LEMark.size()};
  if (startsWith(all, kUtf16BEMark)) return {kEncodingUtf16BE, kUtf16BEMark.size()};
  switch (detectMetaCharset(upToZero(all))) {
    case MetaCharset::Utf8: return {kEncodingUtf8, 0};
    case MetaCharset::Big5: return {kEncodingBig5, 0};
    case MetaCharset::Big5Hkscs: return {kEncodingBig5Hkscs, 0};
    case MetaCharset::None: break;
  }
  return {kEncodingDetect, 0};
}

// A mark is skipped only when it is there: a body without one loses no character.
std::size_t markLength(std::string_view all, std::string_view mark) {
  return startsWith(all, mark) ? mark.size() : 0;
}

BodyStart bodyStart(std::string_view all, ReplyEncoding encoding) {
  switch (encoding) {
    case kEncodingDetect: return detectBodyStart(all);
    case kEncodingUtf8: return {encoding, markLength(all, kUtf8Mark)};
    case kEncodingUtf16LE: return {encoding, markLength(all, kUtf16LEMark)};
    case kEncodingUtf16BE: return {encoding, markLength(all, kUtf16BEMark)};
    default: return {encoding, 0};
  }
}

std::string textUpToZero(std::string text) {
  text.resize(upToZero(text).size());
  return text;
}

std::string ansiText(std::string_view bytes) {
  return platform::toUtf8(upToZero(bytes), platform::Charset::Gbk);
}

// The scope of the meta tags: the head when the page has a non-empty one.
std::string_view headOf(std::string_view text) {
  std::size_t open = findIgnoringCase(text, "<head>");
  if (open == std::string_view::npos) return text;
  std::size_t begin = open + 6;
  std::size_t close = findIgnoringCase(text, "</head>", begin);
  if (close == std::string_view::npos || close == begin) return text;
  return text.substr(begin, close - begin);
}

MetaCharset charsetOfTag(std::string_view tag) {
  if (containsAnyOf(tag, "charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'", "[fg]"))
    return MetaCharset::Utf8;
  // Big5-HKSCS first: its name contains "charset=Big5", and reading an HKSCS page as
  // plain Big5 would lose the characters only HKSCS has.
  if (containsAnyOf(tag, "charset=Big5-HKSCS[fg]charset=''Big5-HKSCS''[fg]charset='Big5-HKSCS'",
                    "[fg]"))
    return MetaCharset::Big5Hkscs;
  if (containsAnyOf(tag, "charset=Big5[fg]charset=''Big5''[fg]charset='Big5'", "[fg]"))
    return MetaCharset::Big5;
  return MetaCharset::None;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

DecodedReply decodeReplyText(std::string_view bytes, ReplyEncoding encoding) {
  std::string inflated;
  if (startsWith(bytes, kGzipMagic) && gzipLibraryPresent()) {
    inflated = inflateGzip(bytes);
    bytes = inflated;
  }
  BodyStart start = bodyStart(bytes, encoding);
  std::string_view body = bytes.substr(start.offset);
  ReplyEncoding used = start.encoding;
  if (used == kEncodingDetect && looksLikeUtf8(body)) used = kEncodingUtf8;

  std::string text;
  if (isConvertedEncoding(used) && !body.empty())
    text = textUpToZero(convertCharset(body, charsetOf(used), platform::Charset::Utf8));
  if (text.empty()) return {ansiText(bytes), kEncodingAnsi};
  return {std::move(text), used};
}

bool gzipLibraryPresent() {
  std::string path = programFolder() + "\\gzip.dll";
  return platform::pathExists(path) && !platform::isFolder(path);
}

std::string inflateGzip(std::string_view data) {
  return platform::inflateDeflateStream(data, kMaxInflatedSize);
}

bool containsAnyOf(std::string_view text, std::string_view list, std::string_view delimiter) {
  std::string items = quotesFromPairs(list);
  std::string_view rest = items;
  while (!rest.empty()) {
    std::size_t end = delimiter.empty() ? std::string_view::npos : rest.find(delimiter);
    std::string_view item = rest.substr(0, end);
    if (!item.empty() && findIgnoringCase(text, item) != std::string_view::npos) return true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + delimiter.size());
  }
  return false;
}

MetaCharset detectMetaCharset(std::string_view text) {
  std::string_view scope = headOf(text);
  std::size_t from = 0;
  for (;;) {
    std::size_t open = findIgnoringCase(scope, "<meta", from);
    if (open == std::string_view::npos) return MetaCharset::None;
    std::size_t begin = open + 5;
    std::size_t close = scope.find('>', begin);
    if (close == std::string_view::npos) return MetaCharset::None;
    MetaCharset charset = charsetOfTag(scope.substr(begin, close - begin));
    if (charset != MetaCharset::None) return charset;
    from = close + 1;
  }
}

bool looksLikeUtf8(std::string_view bytes) {
  std::size_t ascii = 0;
  std::size_t p = 0;
  const std::size_t n = bytes.size();
  while (p < n) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (at(p) < 0x80) {
      ++ascii;
      p += 1;
    } else if (p + 1 < n && (at(p) & 0xE0) == 0xC0 && isContinuation(at(p + 1))) {
      p += 2;
    } else if (p + 2 < n && (at(p) & 0xF0) == 0xE0 && isContinuation(at(p + 1)) &&
               isContinuation(at(p + 2))) {
      p += 3;
    } else {
      return false;
    }
  }
  return ascii != n;
}

std::string convertCharset(std::string_view bytes, platform::Charset from, platform::Charset to) {
  std::string utf8 = platform::toUtf8(bytes, from);
  // Decoding already gives well-formed UTF-8; repairing it again would only cost time.
  return to == platform::Charset::Utf8 ? utf8 : platform::fromUtf8(utf8, to);
}

}  // namespace qovra::web
