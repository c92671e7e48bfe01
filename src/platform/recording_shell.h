// A shell that touches nothing outside the files it is pointed at: open and Explorer
// calls are recorded, special folders lie under a given home folder, and shortcuts are
// real .lnk files through the portable reader and writer. It is the native build's
// shell, and tests on either platform install it with setShell.
#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace qovra::platform {

class RecordingShell : public Shell {
 public:
  struct Call {
    std::string verb;  // "open" or "explorer"
    std::string target;
    std::string parameters;
    bool operator==(const Call&) const = default;
  };

  // Special folders are named folders under `home` (not created); code 11, the
  // temporary folder, is `temp`. Both are used as given, without a trailing "\".
  RecordingShell(std::string home, std::string temp);

  bool open(const std::string& target, const std::string& parameters = {}) override;
  bool openInExplorer(const std::string& path) override;
  std::string specialFolderPath(int code) override;
  std::string readShortcutTarget(const std::string& lnkPath) override;
  bool writeShortcut(const std::string& lnkPath, const ShortcutProperties& properties) override;

  const std::vector<Call>& calls() const { return calls_; }
  // What open/openInExplorer answer from now on.
  void setAccepts(bool accepts) { accepts_ = accepts; }

 private:
  std::string home_;
  std::string temp_;
  std::vector<Call> calls_;
  bool accepts_ = true;
};

}  // namespace qovra::platform
