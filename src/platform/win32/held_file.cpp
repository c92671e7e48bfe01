// Held files on Windows: the handle shares reading only, so Windows itself refuses every
// other writer, and every deletion or renaming, for as long as the box keeps the file.
#include <windows.h>

#include <algorithm>

#include "platform/held_file.h"
#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

OVERLAPPED at(std::uint64_t offset) {
  OVERLAPPED place = {};
  place.Offset = static_cast<DWORD>(offset);
  place.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return place;
}

class Win32HeldFile final : public HeldFile {
 public:
  Win32HeldFile(HANDLE file, bool writable) : file_(file), writable_(writable) {}
  ~Win32HeldFile() override { CloseHandle(file_); }

  bool writable() const override { return writable_; }

  std::optional<std::string> read(std::uint64_t offset, std::uint64_t length) const override {
    std::string bytes;
    char chunk[65536];
    while (bytes.size() < length) {
      const auto want = static_cast<DWORD>(std::min<std::uint64_t>(sizeof chunk, length - bytes.size()));
      OVERLAPPED place = at(offset);
      DWORD n = 0;
      if (!ReadFile(file_, chunk, want, &n, &place)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        return std::nullopt;
      }
      if (n == 0) break;
      bytes.append(chunk, n);
      offset += n;
    }
    return bytes;
  }

  bool writeAt(std::uint64_t offset, std::string_view bytes) override {
    if (!writable_) return false;
    while (!bytes.empty()) {
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      OVERLAPPED place = at(offset);
      if (!WriteFile(file_, bytes.data(), chunk, &written, &place) || written == 0) return false;
      bytes.remove_prefix(written);
      offset += written;
    }
    return true;
  }

  bool truncate(std::uint64_t length) override {
    if (!writable_) return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(file_, end, nullptr, FILE_BEGIN) && SetEndOfFile(file_);
  }

  bool flush() override { return writable_ && FlushFileBuffers(file_); }

  // Without FILE_SHARE_DELETE nobody can delete or rename the file while it is held.
  bool stillAtPath() const override { return true; }

 private:
  HANDLE file_;
  bool writable_;
};

}  // namespace

std::unique_ptr<HeldFile> holdFile(const std::string& path) {
  const std::wstring name = win32::widePath(path);
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return std::make_unique<Win32HeldFile>(file, true);
  // The holder has write access, so a reader must share writing to get in at all.
  file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32HeldFile>(file, false);
}

}  // namespace qovra::platform
