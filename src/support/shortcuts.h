// Shortcut files and shell folders as the box uses them: the offline shortcut beside the
// program, the desktop shortcuts of the first-run question and of an entry.
#pragma once

#include <optional>
#include <string>

namespace qovra {

inline constexpr const char* kOfflineShortcutName = "离线模式启动盒子.lnk";
inline constexpr const char* kOfflineSwitch = "lxms";
// The special-folder code of the desktop.
inline constexpr int kDesktopFolder = 0;

// The target stored in a .lnk file; empty when the path has no ".lnk" in it or on any failure.
std::string readShortcutTarget(const std::string& path);

struct ShortcutOptions {
  std::optional<std::string> workingFolder;
  std::optional<std::string> description;
  std::optional<std::string> arguments;
  std::optional<std::string> iconLocation;
  std::optional<std::string> hotKey;
  std::optional<int> windowStyle;
};
// Creates or overwrites a shortcut; ".lnk" is appended unless the path already ends in it
// (compared without regard to case). Failures are silent.
void createShortcut(std::string path, const std::string& target, const ShortcutOptions& options = {});

// A shell folder by the box's code (0 and 3 the desktop, 11 the temporary folder, ...),
// ending in "\"; empty when unknown.
std::string specialFolderPath(int code);

}  // namespace qovra
