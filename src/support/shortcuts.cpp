#include "support/shortcuts.h"

#include <algorithm>

#include "platform/shell.h"

namespace qovra {

std::string readShortcutTarget(const std::string& path) {
  if (path.find(".lnk") == std::string::npos) return {};
  return platform::shell().readShortcutTarget(path);
}

namespace {
bool endsWithLnkIgnoringCase(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return tail == ".lnk";
}
}  // namespace

void createShortcut(std::string path, const std::string& target, const ShortcutOptions& options) {
  if (!endsWithLnkIgnoringCase(path)) path += ".lnk";
  platform::ShortcutProperties properties;
  properties.target = target;
  properties.workingDirectory = options.workingFolder;
  properties.description = options.description;
  properties.arguments = options.arguments;
  properties.iconLocation = options.iconLocation;
  properties.hotKey = options.hotKey;
  properties.windowStyle = options.windowStyle;
  platform::shell().writeShortcut(path, properties);
}

std::string specialFolderPath(int code) { return platform::shell().specialFolderPath(code); }

}  // namespace qovra
