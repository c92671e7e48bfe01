// Linux has no shell of the box's kind: the recording shell stands in, with the
// special folders under $HOME and the temporary folder /tmp.
#include <cstdlib>

#include "platform/recording_shell.h"

namespace qovra::platform {

Shell& nativeShell() {
  static RecordingShell shell([] {
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "");
  }(), "/tmp");
  return shell;
}

}  // namespace qovra::platform
