// The byte-level rules of the box's ini files, over the file's own bytes (GBK). Positions
// are 0-based byte offsets; npos means "none".
//  - Lines end with "\r\n"; nothing is trimmed and names compare byte for byte.
//  - A section starts with "[" + name + "]" at the start of the text or right after "\r\n".
//  - A header line starts with "[" at the start of the text or after "\r\n", and its last
//    character, before "\r\n" or the end of the text, is "]".
//  - An entry is "\r\n" + key + "=" + value after its section's header with no header
//    line in between; the value runs to the next "\r\n" or to the end.
// In GBK a "]" can be the second byte of a Chinese character, so the last character of
// a line is found by walking the line's characters, not by looking at its last byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qovra::settings::ini {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::size_t npos = std::string_view::npos;

// Position of the "[" of the section's first header, or npos.
std::size_t findHeader(std::string_view text, std::string_view section);

// findHeader over a text that does not change between calls, by one pass that notes
// every header start: a large configuration read section by section then costs one scan
// instead of one per section. Whoever changes the text clears the index.
class HeaderIndex {
 public:
  std::size_t find(std::string_view text, std::string_view section);
  void clear();

 private:
  void build(std::string_view text);
  bool built_ = false;
  std::unordered_map<std::string, std::size_t> starts_;  // name -> its first "[" position
};

// Position of the "[" of the first header line that starts after `from` and whose line
// break lies before `to`, or npos.
std::size_t nextHeaderBetween(std::string_view text, std::size_t from, std::size_t to);

// The end of the section whose header's closing bracket is at `headerEnd`: the "[" of the
// next header line, or the end of the text.
std::size_t sectionEnd(std::string_view text, std::size_t headerEnd);

struct Entry {
  std::size_t lineBreak;   // the "\r\n" before the key
  std::size_t valueStart;  // just after "="
  std::size_t valueEnd;    // the next "\r\n", or the end of the text
};

// The entry of `key` in the section whose header's closing bracket is at `headerEnd`:
// the first "\r\n" + key + "=" after the header with no header line in between.
bool findEntry(std::string_view text, std::size_t headerEnd, std::string_view key, Entry& entry);

// Where a new entry of that section goes: just before the next "\r\n[" after the header,
// or the end of the text.
std::size_t entryInsertPoint(std::string_view text, std::size_t headerEnd);

// Every header line, in text order, without its line break.
std::vector<std::string_view> headerLines(std::string_view text);

}  // namespace qovra::settings::ini
