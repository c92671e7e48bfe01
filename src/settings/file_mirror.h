// The open ini file of a write-through store, kept byte-equal to the store's buffer.
// Every change of the buffer is written from its first changed byte on (only the changed
// bytes when the length stayed the same), the file cut to the buffer's length and flushed
// to the disk. A write that fails is undone on disk, so the file keeps its whole earlier
// state instead of half a line; the mirror remembers the first byte from which the file
// is behind and rewrites from there on the next change, or when it is let go. A file
// deleted or replaced under its path while held is made again from the buffer.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/held_file.h"

namespace qovra::settings {

class FileMirror {
 public:
  static constexpr std::size_t kInStep = static_cast<std::size_t>(-1);

  bool attached() const { return file_ != nullptr; }
  // Takes a writable file, held at `path`, whose bytes are the buffer's.
  void attach(std::unique_ptr<platform::HeldFile> file, std::string path);
  // Brings the file in step one last time if it is behind, then closes it.
  void detach(std::string_view buffer);

  // The buffer changed from `from` on: `changedEnd` is the end of the new bytes, and when
  // `lengthChanged` everything after them moved too. False when the file did not follow.
  bool follow(std::string_view buffer, std::size_t from, std::size_t changedEnd, bool lengthChanged);

  // True when the file equals the buffer, after one more try to bring it in step if it
  // was behind.
  bool catchUp(std::string_view buffer);

  // The first byte from which the file may differ from the buffer, or kInStep.
  std::size_t behindFrom() const { return behindFrom_; }

 private:
  void holdAgainIfGone();
  bool rewrite(std::string_view buffer, std::size_t from, std::size_t to, bool toTheEnd);

  std::unique_ptr<platform::HeldFile> file_;
  std::string path_;
  std::size_t behindFrom_ = kInStep;
};

}  // namespace qovra::settings
