#include "support/conventions.h"

#include <cmath>
#include <limits>

#include "platform/charset.h"

namespace qovra {

int gbkLength(std::string_view utf8) {
  return static_cast<int>(platform::fromUtf8(utf8, platform::Charset::Gbk).size());
}

std::string padToGbkBytes(std::string_view utf8, int bytes) {
  std::string padded(utf8);
  const int length = gbkLength(utf8);
  if (length < bytes) padded.append(static_cast<std::size_t>(bytes - length), ' ');
  return padded;
}

double readReal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  double sign = 1;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') sign = -1;
    ++i;
  }
  // Digits are accumulated by hand: locale-independent, and no exponent form, which
  // ini texts never use and which would turn "1e999" into infinity.
  double value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
      value += (text[i] - '0') * scale;
  }
  return std::isfinite(value) ? sign * value : 0;
}

int truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  const double t = std::trunc(value);
  if (t >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (t <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(t);
}

bool realsEqual(double a, double b) { return std::fabs(a - b) <= 0.0000001; }

std::string_view boolWord(bool value) { return value ? kTrueWord : kFalseWord; }

bool wordIsTrue(std::string_view text) { return text == kTrueWord; }

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(from, start)) != std::string_view::npos; start = at + from.size())
    out.append(text.substr(start, at - start)).append(to);
  return out.append(text.substr(start));
}

}  // namespace qovra
