// A file kept open for as long as its owner lives, with other writers kept out: the
// settings store holds its ini this way, so a second running copy of the box can read
// the ini but never write it. Windows denies other writers through the share mode (read
// sharing only); Linux through an exclusive lock on the open file that every holder
// takes, so two holders exclude each other whether they are in one process or in two.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qovra::platform {

class HeldFile {
 public:
  virtual ~HeldFile() = default;

  // False for a read-only view: another holder has the file, or it may not be written.
  virtual bool writable() const = 0;
  // Up to `length` bytes from the offset (fewer at the end of the file); nothing when the
  // file cannot be read.
  virtual std::optional<std::string> read(std::uint64_t offset, std::uint64_t length) const = 0;
  // Writes all bytes at the offset; false when not all of them got there (some may have).
  virtual bool writeAt(std::uint64_t offset, std::string_view bytes) = 0;
  virtual bool truncate(std::uint64_t length) = 0;
  // Waits until what was written is on the disk.
  virtual bool flush() = 0;
  // False once the file was deleted, or replaced by another under its path, while held.
  virtual bool stillAtPath() const = 0;
};

// Opens the file for reading and writing, creating it (not its folder) when missing and
// never truncating it. When another holder has it or it may not be written, the result is
// a read-only view of the existing file; null when it can be neither created nor read.
std::unique_ptr<HeldFile> holdFile(const std::string& path);

}  // namespace qovra::platform
