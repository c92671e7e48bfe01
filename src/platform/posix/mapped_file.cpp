#include "platform/posix/mapped_file.h"

#include "platform/posix/native_path.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qovra::platform::posix {

MappedFile::MappedFile(const std::string& path) {
  int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    void* data = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (data != MAP_FAILED) {
      data_ = data;
      size_ = static_cast<std::size_t>(st.st_size);
    }
  }
  ::close(fd);
}

MappedFile::~MappedFile() {
  if (data_) ::munmap(data_, size_);
}

}  // namespace qovra::platform::posix
