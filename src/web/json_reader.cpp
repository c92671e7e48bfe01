#include "web/json_reader.h"

#include <optional>
#include <variant>
#include <vector>

#include "web/text_operations.h"

namespace qovra::web {

namespace {

constexpr std::size_t npos = std::string_view::npos;
// Deeper nesting than any reply has; the limit keeps a hostile text from exhausting the
// stack of the recursive scan.
constexpr int kMaxDepth = 256;
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000

// The white space the reader tolerates between tokens: ASCII white space and the
// ideographic space. Returns its length in bytes at offset i, 0 when there is none.
std::size_t blankAt(std::string_view text, std::size_t i) {
  switch (text[i]) {
    case ' ': case '\t': case '\n': case '\r': case '\f': case '\v': return 1;
    default: return text.substr(i, 3) == kIdeographicSpace ? 3 : 0;
  }
}

std::size_t skipBlank(std::string_view text, std::size_t i) {
  while (i < text.size()) {
    std::size_t n = blankAt(text, i);
    if (n == 0) break;
    i += n;
  }
  return i;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && isDigit(text[i])) ++i;
  return i;
}

// Each scan takes the offset where a token starts and gives the offset after it, or npos
// when the text is not well formed there.

std::size_t scanString(std::string_view text, std::size_t i) {
  for (++i; i < text.size(); ++i) {
    if (text[i] == '"') return i + 1;
    if (text[i] == '\\') ++i;  // escapes are returned as written, whatever they are
  }
  return npos;
}

std::size_t scanNumber(std::string_view text, std::size_t i) {
  if (i < text.size() && text[i] == '-') ++i;
  if (i >= text.size() || !isDigit(text[i])) return npos;
  i = text[i] == '0' ? i + 1 : skipDigits(text, i);
  if (i < text.size() && text[i] == '.') {
    std::size_t after = skipDigits(text, i + 1);
    if (after == i + 1) return npos;
    i = after;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t after = skipDigits(text, i);
    if (after == i) return npos;
    i = after;
  }
  return i;
}

std::size_t scanWord(std::string_view text, std::size_t i, std::string_view word) {
  return text.substr(i, word.size()) == word ? i + word.size() : npos;
}

std::size_t scanValue(std::string_view text, std::size_t i, int depth);

// A walk through the array or object at i: visit(key offset, element index) is asked
// before each element's value (the key offset is npos in arrays) whether that is the
// element wanted. end is the offset after the closing bracket, npos when the text is
// malformed or the walk stopped; found is the offset of the wanted element's value.
struct Walk {
  std::size_t end = npos;
  std::size_t found = npos;
};

template <typename Visit>
Walk walkContainer(std::string_view text, std::size_t i, int depth, Visit visit) {
  if (depth > kMaxDepth) return {};
  const bool object = text[i] == '{';
  const char close = object ? '}' : ']';
  i = skipBlank(text, i + 1);
  if (i < text.size() && text[i] == close) return {i + 1, npos};
  for (std::size_t index = 0;; ++index) {
    std::size_t key = npos;
    if (object) {
      if (i >= text.size() || text[i] != '"') return {};
      key = i;
      i = scanString(text, i);
      if (i == npos) return {};
      i = skipBlank(text, i);
      if (i >= text.size() || text[i] != ':') return {};
      i = skipBlank(text, i + 1);
    }
    if (visit(key, index)) return {npos, i};
    i = scanValue(text, i, depth + 1);
    if (i == npos) return {};
    i = skipBlank(text, i);
    if (i >= text.size()) return {};
    if (text[i] == close) return {i + 1, npos};
    if (text[i] != ',') return {};
    i = skipBlank(text, i + 1);
  }
}

std::size_t scanValue(std::string_view text, std::size_t i, int depth) {
  if (i >= text.size()) return npos;
  switch (text[i]) {
    case '"': return scanString(text, i);
    case '{':
    case '[':
      return walkContainer(text, i, depth, [](std::size_t, std::size_t) { return false; }).end;
    case 't': return scanWord(text, i, "true");
    case 'f': return scanWord(text, i, "false");
    case 'n': return scanWord(text, i, "null");
    default: return scanNumber(text, i);
  }
}

// --- the path ------------------------------------------------------------------------

using PathElement = std::variant<std::string, std::size_t>;  // member name or array index

std::optional<std::size_t> arrayIndex(std::string_view digits, bool zeroBased) {
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  std::size_t n = 0;
  for (char c : digits) {
    if (!isDigit(c)) return std::nullopt;
    n = n * 10 + static_cast<std::size_t>(c - '0');
  }
  if (zeroBased) return n;
  if (n == 0) return std::nullopt;
  return n - 1;
}

// One dot-separated part: a name, then any number of "[n]". A part that has only
// indexes adds no name; an empty part names the member "".
bool addPart(std::string_view part, bool zeroBased, std::vector<PathElement>& elements) {
  std::size_t bracket = part.find('[');
  if (bracket != 0 || part.empty()) elements.emplace_back(std::string(part.substr(0, bracket)));
  while (bracket != npos) {
    std::size_t close = part.find(']', bracket);
    if (close == npos) return false;
    std::optional<std::size_t> index = arrayIndex(part.substr(bracket + 1, close - bracket - 1), zeroBased);
    if (!index) return false;
    elements.emplace_back(*index);
    if (close + 1 == part.size()) break;
    if (part[close + 1] != '[') return false;
    bracket = close + 1;
  }
  return true;
}

std::optional<std::vector<PathElement>> parsePath(std::string_view path, bool zeroBased) {
  std::string text = quotesFromPairs(path);
  std::vector<PathElement> elements;
  std::string_view rest = text;
  for (;;) {
    std::size_t dot = rest.find('.');
    if (!addPart(rest.substr(0, dot), zeroBased, elements)) return std::nullopt;
    if (dot == npos) return elements;
    rest.remove_prefix(dot + 1);
  }
}

// --- rendering -----------------------------------------------------------------------

std::size_t blankBefore(std::string_view text, std::size_t end) {
  if (end >= 1 && blankAt(text, end - 1) == 1) return 1;
  if (end >= 3 && text.substr(end - 3, 3) == kIdeographicSpace) return 3;
  return 0;
}

std::string_view trimBlank(std::string_view text) {
  std::size_t begin = skipBlank(text, 0);
  std::size_t end = text.size();
  while (end > begin) {
    std::size_t n = blankBefore(text, end);
    if (n == 0) break;
    end -= n;
  }
  return text.substr(begin, end - begin);
}

bool opensStructure(char c) { return c == '[' || c == '{' || c == '"'; }
bool closesStructure(char c) { return c == ']' || c == '}' || c == '"'; }

// JSON text without the white space before an opening bracket, brace or quote and after
// a closing one. The contents of strings are left exactly as written.
std::string compacted(std::string_view text) {
  std::string out;
  bool inString = false;
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (inString) {
      std::size_t n = c == '\\' && i + 1 < text.size() ? 2 : 1;
      out.append(text.substr(i, n));
      inString = c != '"';
      i += n;
      continue;
    }
    std::size_t after = skipBlank(text, i);
    if (after != i) {
      bool dropped = (!out.empty() && closesStructure(out.back())) ||
                     (after < text.size() && opensStructure(text[after]));
      if (!dropped) out.append(text.substr(i, after - i));
      i = after;
      continue;
    }
    out += c;
    inString = c == '"';
    ++i;
  }
  return out;
}

std::string rendered(std::string_view value) {
  switch (value.front()) {
    case '"': return std::string(trimBlank(value.substr(1, value.size() - 2)));
    case '{':
    case '[': return compacted(value);
    default: return std::string(value);
  }
}

// The offset of the value that element selects in the container at i, or npos.
std::size_t selectIn(std::string_view text, std::size_t i, const PathElement& element) {
  const std::string* name = std::get_if<std::string>(&element);
  if (text[i] != (name ? '{' : '[')) return npos;
  return walkContainer(text, i, 0, [&](std::size_t key, std::size_t index) {
           if (!name) return index == std::get<std::size_t>(element);
           std::size_t keyEnd = scanString(text, key);
           return trimBlank(text.substr(key + 1, keyEnd - key - 2)) == *name;
         }).found;
}

bool isWholeJson(std::string_view text) {
  std::size_t end = scanValue(text, skipBlank(text, 0), 0);
  return end != npos && skipBlank(text, end) == text.size();
}

}  // namespace

std::string JsonReader::get(std::string_view jsonText, std::string_view path,
                            bool zeroBasedIndexes) const {
  if (!isWholeJson(jsonText)) return {};
  if (path.empty()) return compacted(trimBlank(jsonText));
  std::optional<std::vector<PathElement>> elements = parsePath(path, zeroBasedIndexes);
  if (!elements) return {};
  std::size_t at = skipBlank(jsonText, 0);
  for (const PathElement& element : *elements) {
    at = selectIn(jsonText, at, element);
    if (at == npos) return {};
  }
  return rendered(jsonText.substr(at, scanValue(jsonText, at, 0) - at));
}

}  // namespace qovra::web
