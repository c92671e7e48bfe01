#include "web/http_text.h"

namespace qovra::web {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool equalNoCaseAt(std::string_view text, std::size_t at, std::string_view part) {
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (lower(text[at + i]) != lower(part[i])) return false;
  }
  return true;
}

}  // namespace

std::size_t findNoCase(std::string_view text, std::string_view part, std::size_t from) {
  if (part.size() > text.size()) return std::string_view::npos;
  for (std::size_t at = from; at + part.size() <= text.size(); ++at) {
    if (equalNoCaseAt(text, at, part)) return at;
  }
  return std::string_view::npos;
}

bool containsNoCase(std::string_view text, std::string_view part) {
  return findNoCase(text, part) != std::string_view::npos;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalNoCaseAt(text, 0, prefix);
}

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view withoutFragment(std::string_view url) { return url.substr(0, url.find('#')); }

std::string withScheme(std::string_view url) {
  if (startsWithNoCase(url, "http://") || startsWithNoCase(url, "https://")) return std::string(url);
  return "http://" + std::string(url);
}

}  // namespace qovra::web
