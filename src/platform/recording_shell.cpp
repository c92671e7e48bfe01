#include "platform/recording_shell.h"

#include "platform/files.h"
#include "platform/lnk_file.h"

namespace qovra::platform {
namespace {

// Where each code of the box's special-folder table lies below the home folder.
const char* folderBelowHome(int code) {
  switch (code) {
    case 0:
    case 3: return "Desktop";
    case 1: return "Documents";
    case 2: return "Favorites";
    case 4: return "Fonts";
    case 5: return "Start Menu";
    case 6: return "Start Menu\\Programs";
    case 7: return "Start Menu\\Programs\\Startup";
    case 8: return "AppData";
    case 9: return "Windows";
    case 10: return "Windows\\System32";
    case 12: return "Internet Cache";
    default: return nullptr;
  }
}

}  // namespace

RecordingShell::RecordingShell(std::string home, std::string temp)
    : home_(std::move(home)), temp_(std::move(temp)) {}

bool RecordingShell::open(const std::string& target, const std::string& parameters) {
  calls_.push_back({"open", target, parameters});
  return accepts_;
}

bool RecordingShell::openInExplorer(const std::string& path) {
  calls_.push_back({"explorer", path, {}});
  return accepts_;
}

std::string RecordingShell::specialFolderPath(int code) {
  if (code == 11) return temp_.empty() ? std::string() : temp_ + "\\";
  const char* below = folderBelowHome(code);
  if (!below || home_.empty()) return {};
  return home_ + "\\" + below + "\\";
}

std::string RecordingShell::readShortcutTarget(const std::string& lnkPath) {
  std::optional<std::string> bytes = readFile(lnkPath);
  if (!bytes) return {};
  std::optional<ShellLink> link = readShellLink(*bytes);
  return link ? link->target : std::string();
}

bool RecordingShell::writeShortcut(const std::string& lnkPath, const ShortcutProperties& properties) {
  return writeFile(lnkPath, writeShellLink(shellLinkFrom(properties)));
}

}  // namespace qovra::platform
