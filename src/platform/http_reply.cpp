#include "platform/http_reply.h"

#include <algorithm>

#include "platform/charset.h"

namespace qovra::platform {
namespace {

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return out;
}

Charset charsetOf(std::string_view contentType) {
  const std::string type = lowered(contentType);
  const std::size_t at = type.find("charset=");
  if (at == std::string::npos) return Charset::Utf8;
  std::string name = type.substr(at + 8);
  name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == '"' || c == '\''; }), name.end());
  name = name.substr(0, name.find_first_of("; "));
  if (name == "gbk" || name == "gb2312" || name == "gb18030") return Charset::Gbk;
  if (name == "big5") return Charset::Big5;
  if (name == "big5-hkscs") return Charset::Big5Hkscs;
  if (name == "utf-16" || name == "utf-16le") return Charset::Utf16LE;
  if (name == "utf-16be") return Charset::Utf16BE;
  return Charset::Utf8;
}

}  // namespace

std::string headerLinesOf(std::string_view rawHeaders) {
  const std::size_t start = rawHeaders.find("\r\n");
  if (start == std::string_view::npos) return {};
  std::string_view lines = rawHeaders.substr(start + 2);
  while (lines.size() >= 4 && lines.substr(lines.size() - 4) == "\r\n\r\n") lines.remove_suffix(2);
  return lines == "\r\n" ? std::string() : std::string(lines);
}

std::string headerValue(std::string_view headerLines, std::string_view name) {
  const std::string wanted = lowered(name);
  while (!headerLines.empty()) {
    const std::size_t end = std::min(headerLines.find("\r\n"), headerLines.size());
    const std::string_view line = headerLines.substr(0, end);
    headerLines.remove_prefix(std::min(headerLines.size(), end + 2));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || lowered(line.substr(0, colon)) != wanted) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return std::string(value);
  }
  return {};
}

std::string bodyAsText(std::string_view body, std::string_view contentType) {
  return toUtf8(body, charsetOf(contentType));
}

}  // namespace qovra::platform
