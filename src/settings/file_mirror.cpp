#include "settings/file_mirror.h"

#include <algorithm>

#include "platform/files.h"
#include "settings/store_services.h"
#include "settings/undo_record.h"

namespace qovra::settings {
namespace {

constexpr std::uint64_t kReadToTheEnd = static_cast<std::uint64_t>(-1);

std::string undoPathOf(const std::string& path) { return path + std::string(FileMirror::kUndoSuffix); }

std::optional<std::string> readWhole(platform::HeldFile& file, std::uint64_t limit) {
  std::optional<std::string> bytes = file.read(0, limit + 1);
  if (bytes && bytes->size() > limit) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<std::string> FileMirror::open(const std::string& path, std::uint64_t maxBytes) {
  detach({});
  const bool writable = hold(path);
  if (!file_) return std::nullopt;
  std::optional<std::string> bytes = readWhole(*file_, maxBytes);
  // A file that cannot be read whole is not written either: the first edit would
  // replace what it holds.
  if (!bytes) {
    detach({});
    return std::nullopt;
  }
  const std::size_t behind = putBackInterruptedEdit(*bytes, maxBytes, writable);
  if (!writable) {
    detach({});
    return bytes;
  }
  behindFrom_ = behind;
  return bytes;
}

bool FileMirror::hold(const std::string& path) {
  path_ = path;
  file_ = storeServices().holdFile(path);
  undo_.reset();
  if (!file_ || !file_->writable()) return false;
  const std::string undoPath = undoPathOf(path);
  undo_ = storeServices().holdFile(undoPath);
  if (undo_ && undo_->writable()) {
    platform::setFileAttributes(undoPath, platform::kAttrHidden | platform::kAttrArchive);
    return true;
  }
  // Where no record can be made at all (a folder that takes no new file) edits go
  // unprotected. A record that exists but cannot be written could be stale by the next
  // open, and put old bytes over newer edits: then the ini is not written either.
  const bool recordExists = undo_ != nullptr || platform::pathExists(undoPath);
  undo_.reset();
  return !recordExists;
}

// Returns the first byte from which the file is still behind `bytes` (kInStep normally).
std::size_t FileMirror::putBackInterruptedEdit(std::string& bytes, std::uint64_t maxBytes, bool writable) {
  // A read-only view reads the record without holding it: the holder may be writing it.
  std::optional<std::string> recordBytes =
      undo_ ? readWhole(*undo_, 2 * maxBytes + 4096) : platform::readFile(undoPathOf(path_));
  if (!recordBytes || recordBytes->empty()) return kInStep;
  std::optional<UndoRecord> record = decodeUndoRecord(*recordBytes);
  if (record && !editIsWhole(*record, bytes) && undoEdit(*record, bytes) && writable) {
    const auto from = static_cast<std::size_t>(record->offset);
    const bool putBack = file_->writeAt(from, std::string_view(bytes).substr(from)) &&
                         file_->truncate(bytes.size()) && file_->flush();
    // Kept until the ini has the old bytes back: the next open tries again.
    if (!putBack) return from;
  }
  if (undo_ && undo_->truncate(0)) undo_->flush();
  return kInStep;
}

void FileMirror::detach(std::string_view buffer) {
  if (file_ && behindFrom_ != kInStep) {
    holdAgainIfGone();
    if (file_) rewrite(buffer, behindFrom_, buffer.size(), true);
  }
  // Emptied for good: a closed ini has no edit in progress.
  if (undo_ && behindFrom_ == kInStep && undo_->truncate(0)) undo_->flush();
  file_.reset();
  undo_.reset();
  path_.clear();
  behindFrom_ = kInStep;
}

bool FileMirror::follow(std::string_view buffer, std::size_t from, std::size_t changedEnd,
                        bool lengthChanged) {
  if (!file_) return true;
  holdAgainIfGone();
  if (!file_) return true;
  // Behind the buffer, the file is rewritten from where it fell behind through the end.
  const bool toTheEnd = lengthChanged || behindFrom_ != kInStep;
  const std::size_t start = std::min({from, behindFrom_, buffer.size()});
  const std::size_t end = toTheEnd ? buffer.size() : changedEnd;
  behindFrom_ = rewrite(buffer, start, end, toTheEnd) ? kInStep : start;
  return behindFrom_ == kInStep;
}

bool FileMirror::catchUp(std::string_view buffer) {
  if (behindFrom_ == kInStep) return true;
  return follow(buffer, behindFrom_, buffer.size(), true);
}

void FileMirror::holdAgainIfGone() {
  if (file_->stillAtPath()) return;
  // Edits must not go on into a file nobody can see: the path gets a file again, written
  // whole from the buffer.
  if (hold(path_)) {
    behindFrom_ = 0;
    return;
  }
  // Another copy of the box holds the path by now: from here on the store has no file.
  file_.reset();
  undo_.reset();
  behindFrom_ = kInStep;
}

bool FileMirror::rewrite(std::string_view buffer, std::size_t from, std::size_t to, bool toTheEnd) {
  const std::string_view after = buffer.substr(from, to - from);
  // What is on disk where the new bytes go: for the undo record, and to put back at once
  // if they do not all get there.
  const std::optional<std::string> before = file_->read(from, toTheEnd ? kReadToTheEnd : to - from);
  if (!before || !recordUndo(from, *before, toTheEnd, after)) return false;
  if (file_->writeAt(from, after) && (!toTheEnd || file_->truncate(buffer.size())) && file_->flush()) {
    // Not flushed: a record left over after a power cut is seen to be done.
    if (undo_) undo_->truncate(0);
    return true;
  }
  if (file_->writeAt(from, *before) && (!toTheEnd || file_->truncate(from + before->size())))
    file_->flush();
  return false;
}

bool FileMirror::recordUndo(std::size_t from, const std::string& before, bool toTheEnd,
                            std::string_view after) {
  if (!undo_) return true;
  const std::string record = encodeUndoRecord({from, before, toTheEnd, after.size(), hashOf(after)});
  return undo_->writeAt(0, record) && undo_->truncate(record.size()) && undo_->flush();
}

}  // namespace qovra::settings
