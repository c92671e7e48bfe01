// The box builds paths with "\"; Linux wants "/".
#pragma once

#include <string>

namespace qovra::platform::posix {

inline std::string nativePath(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

}  // namespace qovra::platform::posix
