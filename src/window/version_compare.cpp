#include "window/version_compare.h"

#include <limits>
#include <vector>

namespace qovra {
namespace {

std::vector<std::string> splitAtDots(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t dot = text.find('.', start);
    parts.push_back(text.substr(start, dot - start));
    if (dot == std::string::npos) return parts;
    start = dot + 1;
  }
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

long long versionComponent(const std::string& text) {
  constexpr long long kLimit = (std::numeric_limits<long long>::max() - 9) / 10;
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (value <= kLimit) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

VersionState compareVersions(const std::string& installed, const std::string& latest) {
  if (installed.empty()) return kNotDownloaded;
  std::vector<std::string> mine = splitAtDots(installed);
  std::vector<std::string> theirs = splitAtDots(latest);
  theirs.resize(mine.size());
  for (std::size_t i = 0; i < mine.size(); ++i) {
    long long a = versionComponent(mine[i]);
    long long b = versionComponent(theirs[i]);
    if (a < b) return kUpgradeAvailable;
    if (a > b) return kCurrent;
  }
  return kCurrent;
}

}  // namespace qovra
