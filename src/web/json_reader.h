// The value at a path of a JSON text, as text: "data.subfiles.[1].path" walks into the
// member "data", its member "subfiles", the first element of that array and its member
// "path". Enough of a reader for the replies of the cloud-drive services, strict about
// structure so that a damaged reply yields nothing rather than a wrong piece.
#pragma once

#include <string>
#include <string_view>

namespace qovra::web {

class JsonReader {
 public:
  // Path elements are separated by "."; "[n]" selects the n-th element of an array
  // (from 1, or from 0 with zeroBasedIndexes) and may follow a name without a dot
  // ("a[2]" is "a.[2]"); any other element names an object member, compared exactly.
  // '' in the path stands for a double quote.
  //
  // The value comes back as text: a string without its quotes and without white space
  // at its ends, escapes as written (an escaped quote stays backslash and quote);
  // numbers, true, false and null as written; an object or array as its JSON text
  // without the white space next to brackets, braces and quotes. An empty path gives
  // the whole text so compacted. A missing path, or a text that is not JSON, gives "".
  std::string get(std::string_view jsonText, std::string_view path,
                  bool zeroBasedIndexes = false) const;
};

}  // namespace qovra::web
