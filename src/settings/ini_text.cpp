#include "settings/ini_text.h"

#include <string>

namespace qovra::settings::ini {
namespace {

constexpr std::string_view kHeaderStart = "\r\n[";

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
  const std::size_t hit = text.find(header);
  return hit == npos ? npos : hit + kLineEnd.size();
}

std::size_t nextHeaderBetween(std::string_view text, std::size_t from, std::size_t to) {
  for (std::size_t hit = text.find(kHeaderStart, from); hit != npos && hit < to;
       hit = text.find(kHeaderStart, hit + 1)) {
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
  // Cut at the next header's "[": a hit inside can only end before the header's own line
  // break, since the pattern is longer than that break.
  const std::string_view section = text.substr(0, sectionEnd(text, headerEnd));
  const std::size_t hit = section.find(pattern, headerEnd);
  if (hit == npos) return false;
  entry.lineBreak = hit;
  entry.valueStart = hit + pattern.size();
  entry.valueEnd = lineEndFrom(text, entry.valueStart);
  return true;
}

std::size_t entryInsertPoint(std::string_view text, std::size_t headerEnd) {
  const std::size_t next = text.find(kHeaderStart, headerEnd);
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
