#include "settings/ini_text.h"

#include <algorithm>
#include <functional>
#include <string>

namespace qovra::settings::ini {
namespace {

constexpr std::string_view kHeaderStart = "\r\n[";

// Names and keys are searched with a skip table: a plain find stops at every "\r", which
// starts every line and every pattern.
std::size_t findText(std::string_view text, std::string_view pattern, std::size_t from) {
  if (from > text.size()) return npos;
  const auto hit = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                               std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
  return hit == text.end() ? npos : static_cast<std::size_t>(hit - text.begin());
}

// The next "\r\n[" from `from` on. "[" is rare in an ini apart from headers, so looking
// for it alone (one memchr over the text) beats looking for the line breaks, one a line.
std::size_t findHeaderStart(std::string_view text, std::size_t from) {
  for (std::size_t bracket = text.find('[', from + kLineEnd.size()); bracket != npos;
       bracket = text.find('[', bracket + 1)) {
    if (text[bracket - 2] == '\r' && text[bracket - 1] == '\n') return bracket - kLineEnd.size();
  }
  return npos;
}

std::size_t lineEndFrom(std::string_view text, std::size_t from) {
  const std::size_t end = text.find(kLineEnd, from);
  return end == npos ? text.size() : end;
}

bool isDigit(unsigned char byte) { return byte >= 0x30 && byte <= 0x39; }

// Steps through the line's characters: one byte below 0x80, four for a GB18030 sequence
// (a digit second byte), two otherwise.
bool lastCharacterIsBracket(std::string_view line) {
  std::size_t last = npos;
  for (std::size_t i = 0; i < line.size();) {
    const auto lead = static_cast<unsigned char>(line[i]);
    last = i;
    if (lead < 0x80)
      i += 1;
    else if (i + 1 < line.size() && isDigit(static_cast<unsigned char>(line[i + 1])))
      i += 4;
    else
      i += 2;
  }
  return last == line.size() - 1 && line[last] == ']';
}

bool isHeaderLine(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']' && lastCharacterIsBracket(line);
}

}  // namespace

std::size_t findHeader(std::string_view text, std::string_view section) {
  std::string header(kHeaderStart);
  header.append(section);
  header += ']';
  if (text.starts_with(std::string_view(header).substr(kLineEnd.size()))) return 0;
  const std::size_t hit = findText(text, header, 0);
  return hit == npos ? npos : hit + kLineEnd.size();
}

namespace {
// Below this size one search costs less than building the index.
constexpr std::size_t kIndexFrom = 16 * 1024;
}  // namespace

std::size_t HeaderIndex::find(std::string_view text, std::string_view section) {
  // A name holding "]" or a line break can match across what the index notes as one
  // header's name; such names are searched for as they are.
  if (text.size() < kIndexFrom || section.find_first_of("]\r\n") != npos) return findHeader(text, section);
  if (!built_) build(text);
  const auto it = starts_.find(std::string(section));
  return it == starts_.end() ? npos : it->second;
}

void HeaderIndex::clear() {
  built_ = false;
  starts_.clear();
}

// A "[" at the start of the text or after "\r\n" followed by a name and "]" before any
// line break: the name is found there by findHeader, unless it was found earlier.
void HeaderIndex::build(std::string_view text) {
  starts_.clear();
  for (std::size_t bracket = text.find('['); bracket != npos; bracket = text.find('[', bracket + 1)) {
    if (bracket != 0 && (bracket < 2 || text[bracket - 2] != '\r' || text[bracket - 1] != '\n')) continue;
    const std::size_t close = text.find_first_of("]\r\n", bracket + 1);
    if (close == npos || text[close] != ']') continue;
    starts_.emplace(std::string(text.substr(bracket + 1, close - bracket - 1)), bracket);
  }
  built_ = true;
}

std::size_t nextHeaderBetween(std::string_view text, std::size_t from, std::size_t to) {
  for (std::size_t hit = findHeaderStart(text, from); hit != npos && hit < to;
       hit = findHeaderStart(text, hit + 1)) {
    const std::size_t lineStart = hit + kLineEnd.size();
    if (isHeaderLine(text.substr(lineStart, lineEndFrom(text, lineStart) - lineStart))) return lineStart;
  }
  return npos;
}

std::size_t sectionEnd(std::string_view text, std::size_t headerEnd) {
  const std::size_t next = nextHeaderBetween(text, headerEnd, text.size());
  return next == npos ? text.size() : next;
}

bool findEntry(std::string_view text, std::size_t headerEnd, std::string_view key, Entry& entry) {
  std::string pattern(kLineEnd);
  pattern.append(key);
  pattern += '=';
  // A hit may start as late as the next header's own line break: only a header line
  // between the section's header and the hit hides it. (A key holding "\r\n" can span
  // a header line; were it not found there, every write would add it once more.)
  const std::size_t end = sectionEnd(text, headerEnd);
  const std::size_t searched = end == text.size() ? end : std::min(text.size(), end - kLineEnd.size() + pattern.size());
  const std::size_t hit = findText(text.substr(0, searched), pattern, headerEnd);
  if (hit == npos) return false;
  entry.lineBreak = hit;
  entry.valueStart = hit + pattern.size();
  entry.valueEnd = lineEndFrom(text, entry.valueStart);
  return true;
}

std::size_t entryInsertPoint(std::string_view text, std::size_t headerEnd) {
  const std::size_t next = findHeaderStart(text, headerEnd);
  return next == npos ? text.size() : next;
}

std::vector<std::string_view> headerLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = lineEndFrom(text, start);
    const std::string_view line = text.substr(start, end - start);
    if (isHeaderLine(line)) lines.push_back(line);
    start = end + kLineEnd.size();
  }
  return lines;
}

}  // namespace qovra::settings::ini
