#include "catalogue/entry_name.h"

#include <array>
#include <string>

namespace qovra {
namespace {

bool hasForbiddenCharacter(std::string_view name) {
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return true;
    if (std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) return true;
  }
  return false;
}

std::string upperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  return result;
}

// Windows opens the device whatever extension follows the device name, and ignores spaces
// before that extension ("nul .txt" is the device too).
bool isDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string upper = upperAscii(stem);
  static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kDevices)
    if (upper == device) return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '0' &&
         upper[3] <= '9';
}

}  // namespace

bool isSafeEntryName(std::string_view name) {
  if (name.empty() || hasForbiddenCharacter(name)) return false;
  if (name.find("..") != std::string_view::npos) return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  return !isDeviceName(name);
}

}  // namespace qovra
