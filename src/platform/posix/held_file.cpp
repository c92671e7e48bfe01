// Held files on Linux. The lock is an "open file description" lock, which belongs to the
// one descriptor that took it: a classic process-wide lock would let a second holder in
// the same process write as well, and would vanish as soon as any other descriptor of
// the file in this process is closed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/held_file.h"
#include "platform/posix/native_path.h"

namespace qovra::platform {
namespace {

#ifdef F_OFD_SETLK
constexpr int kLockCommand = F_OFD_SETLK;
#else
constexpr int kLockCommand = F_SETLK;
#endif

// False only when another holder has the file; on a file system without locks the file
// is written unguarded rather than never.
bool lockForWriting(int fd) {
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, kLockCommand, &lock) == 0) return true;
  return errno != EAGAIN && errno != EACCES;
}

class PosixHeldFile final : public HeldFile {
 public:
  PosixHeldFile(int fd, bool writable, std::string native)
      : fd_(fd), writable_(writable), native_(std::move(native)) {}
  ~PosixHeldFile() override { ::close(fd_); }

  bool writable() const override { return writable_; }

  std::optional<std::string> read(std::uint64_t offset, std::uint64_t length) const override {
    std::string bytes;
    char chunk[65536];
    while (bytes.size() < length) {
      const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof chunk, length - bytes.size()));
      const ssize_t n = ::pread(fd_, chunk, want, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return std::nullopt;
      if (n == 0) break;
      bytes.append(chunk, static_cast<std::size_t>(n));
      offset += static_cast<std::uint64_t>(n);
    }
    return bytes;
  }

  bool writeAt(std::uint64_t offset, std::string_view bytes) override {
    if (!writable_) return false;
    while (!bytes.empty()) {
      const ssize_t n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
      offset += static_cast<std::uint64_t>(n);
    }
    return true;
  }

  bool truncate(std::uint64_t length) override {
    return writable_ && ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
  }

  bool flush() override { return writable_ && ::fdatasync(fd_) == 0; }

  bool stillAtPath() const override {
    struct stat held, named;
    if (::fstat(fd_, &held) != 0 || held.st_nlink == 0) return false;
    if (::stat(native_.c_str(), &named) != 0) return false;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
  }

 private:
  int fd_;
  bool writable_;
  std::string native_;
};

}  // namespace

std::unique_ptr<HeldFile> holdFile(const std::string& path) {
  std::string native = posix::nativePath(path);
  int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0 && lockForWriting(fd)) return std::make_unique<PosixHeldFile>(fd, true, std::move(native));
  if (fd < 0) fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixHeldFile>(fd, false, std::move(native));
}

}  // namespace qovra::platform
