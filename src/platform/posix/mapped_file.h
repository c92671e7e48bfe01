// A whole file mapped read-only into memory, for the readers of program files: a
// program can be large, and only a few of its pages are ever touched.
#pragma once

#include <string>
#include <string_view>

namespace qovra::platform::posix {

class MappedFile {
 public:
  // The box's path ("\" separators allowed); empty when it cannot be mapped.
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

 private:
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace qovra::platform::posix
