// Shell link (.lnk) files in the Windows binary format, read and written without the
// OS, so the native build keeps real shortcut files and the Windows build can check its
// own shell against them. Written links carry a LinkInfo with the target as local base
// path (GBK and UTF-16) and the texts as UTF-16 string data; no item-ID list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell.h"

namespace qovra::platform {

struct ShellLink {
  std::string target;
  // Each text is stored only when it is not empty.
  std::string description;
  std::string relativePath;
  std::string workingDirectory;
  std::string arguments;
  std::string iconPath;
  int iconIndex = 0;
  std::uint32_t showCommand = 1;  // SW_SHOWNORMAL
  std::uint16_t hotKey = 0;       // virtual key in the low byte, HOTKEYF_* in the high byte
};

std::string writeShellLink(const ShellLink& link);
// Every read is bounds-checked; a damaged or foreign file gives nothing. The target is
// LinkInfo's Unicode local base path where present, else its ANSI path read as GBK,
// followed by the common path suffix.
std::optional<ShellLink> readShellLink(std::string_view bytes);

// The properties as the shell's automation object takes them: a hot key such as
// "Ctrl+Alt+F5" (0 when it cannot be read) and an icon location "path,index".
ShellLink shellLinkFrom(const ShortcutProperties& properties);
std::uint16_t parseHotKey(std::string_view text);

}  // namespace qovra::platform
