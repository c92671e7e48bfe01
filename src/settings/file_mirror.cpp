#include "settings/file_mirror.h"

#include <algorithm>
#include <optional>

#include "settings/store_services.h"

namespace qovra::settings {

void FileMirror::attach(std::unique_ptr<platform::HeldFile> file, std::string path) {
  file_ = std::move(file);
  path_ = std::move(path);
  behindFrom_ = kInStep;
}

void FileMirror::detach(std::string_view buffer) {
  if (file_ && behindFrom_ != kInStep) {
    holdAgainIfGone();
    if (file_) rewrite(buffer, behindFrom_, buffer.size(), true);
  }
  file_.reset();
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
  file_ = storeServices().holdFile(path_);
  if (file_ && file_->writable()) {
    behindFrom_ = 0;
    return;
  }
  // Another copy of the box holds the path by now: from here on the store has no file.
  file_.reset();
  behindFrom_ = kInStep;
}

bool FileMirror::rewrite(std::string_view buffer, std::size_t from, std::size_t to, bool toTheEnd) {
  // What is on disk where the new bytes go, to put back if they do not all get there.
  const std::optional<std::string> before =
      file_->read(from, toTheEnd ? static_cast<std::uint64_t>(-1) : to - from);
  if (file_->writeAt(from, buffer.substr(from, to - from)) &&
      (!toTheEnd || file_->truncate(buffer.size())) && file_->flush())
    return true;
  if (before && file_->writeAt(from, *before) && (!toTheEnd || file_->truncate(from + before->size())))
    file_->flush();
  return false;
}

}  // namespace qovra::settings
