// The open ini file of a write-through store, kept byte-equal to the store's buffer.
// Every change of the buffer is written from its first changed byte on (only the changed
// bytes when the length stayed the same), the file cut to the buffer's length and flushed
// to the disk.
//  - Before each write an undo record (see undo_record.h) goes to a file beside the ini,
//    so an edit that a power cut interrupts is put back whole at the next open.
//  - A write that fails is undone on disk at once, so the file keeps its whole earlier
//    state instead of half a line; the mirror remembers the first byte from which the
//    file is behind and rewrites from there on the next change, or when it is let go.
//  - A file deleted or replaced under its path while held is made again from the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/held_file.h"

namespace qovra::settings {

class FileMirror {
 public:
  static constexpr std::size_t kInStep = static_cast<std::size_t>(-1);
  // The undo record's file is the ini's path with this added.
  static constexpr std::string_view kUndoSuffix = ".qovra-undo";

  // Holds the ini at `path` and puts back an edit that a power cut interrupted; gives the
  // file's bytes, or nothing when it cannot be read or is longer than `maxBytes`. Then
  // attached() tells whether edits will be written to it: not when another holder has it
  // or it may not be written (its bytes still come back, as that holder's last finished
  // edit left them).
  std::optional<std::string> open(const std::string& path, std::uint64_t maxBytes);
  bool attached() const { return file_ != nullptr; }
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
  // Holds the ini and its undo record; true when edits may be written through.
  bool hold(const std::string& path);
  void holdAgainIfGone();
  std::size_t putBackInterruptedEdit(std::string& bytes, std::uint64_t maxBytes, bool writable);
  bool rewrite(std::string_view buffer, std::size_t from, std::size_t to, bool toTheEnd);
  bool recordUndo(std::size_t from, const std::string& before, bool toTheEnd, std::string_view after);

  std::unique_ptr<platform::HeldFile> file_;
  std::unique_ptr<platform::HeldFile> undo_;  // null: edits go unprotected
  std::string path_;
  std::size_t behindFrom_ = kInStep;
};

}  // namespace qovra::settings
