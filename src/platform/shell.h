// The shell: opening things, Explorer, special folders and shortcut (.lnk) files.
// Tests replace the shell with a recording one through setShell.
#pragma once

#include <optional>
#include <string>

namespace qovra::platform {

struct ShortcutProperties {
  std::string target;
  std::optional<std::string> workingDirectory;
  std::optional<std::string> description;
  std::optional<std::string> arguments;
  std::optional<std::string> iconLocation;
  std::optional<std::string> hotKey;
  std::optional<int> windowStyle;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // The "open" verb on a file, folder or address; true when the shell accepted it.
  virtual bool open(const std::string& target, const std::string& parameters = {}) = 0;
  // Explorer with "/e,/select," and the path.
  virtual bool openInExplorer(const std::string& path) = 0;
  // The folder of a code of the box's special-folder table, ending in "\"; empty when unknown.
  virtual std::string specialFolderPath(int code) = 0;
  // Shortcut files: the target of a .lnk (empty on any failure) and writing one.
  virtual std::string readShortcutTarget(const std::string& lnkPath) = 0;
  virtual bool writeShortcut(const std::string& lnkPath, const ShortcutProperties& properties) = 0;
};

// The shell of this platform: the real one on Windows; elsewhere a RecordingShell
// (platform/recording_shell.h) with the special folders under $HOME and /tmp.
Shell& shell();
// Replaces the shell for tests; null puts the platform's own back.
void setShell(Shell* replacement);

}  // namespace qovra::platform
