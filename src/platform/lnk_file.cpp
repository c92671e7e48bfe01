#include "platform/lnk_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

#include "platform/charset.h"
#include "platform/unicode.h"

namespace qovra::platform {
namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<unsigned char, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
enum LinkFlag : std::uint32_t {
  kHasIdList = 0x1,
  kHasLinkInfo = 0x2,
  kHasName = 0x4,
  kHasRelativePath = 0x8,
  kHasWorkingDir = 0x10,
  kHasArguments = 0x20,
  kHasIconLocation = 0x40,
  kIsUnicode = 0x80,
};
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kLinkInfoHeaderWithUnicode = 0x24;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kFileAttributeArchive = 0x20;

void put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// The LinkInfo: a fixed-drive VolumeID without label, the path in the ANSI code page
// the box assumes (GBK) and in UTF-16, and empty common path suffixes.
std::string linkInfo(const std::string& target) {
  std::string volume;
  put32(volume, 0x11);  // VolumeIDSize
  put32(volume, kDriveFixed);
  put32(volume, 0);     // serial number
  put32(volume, 0x10);  // label offset
  volume += '\0';
  std::string ansiPath = fromUtf8(target, Charset::Gbk) + '\0';
  std::string unicodePath = utf8ToUtf16Bytes(target, false) + std::string(2, '\0');

  std::uint32_t volumeAt = kLinkInfoHeaderWithUnicode;
  std::uint32_t pathAt = volumeAt + static_cast<std::uint32_t>(volume.size());
  std::uint32_t suffixAt = pathAt + static_cast<std::uint32_t>(ansiPath.size());
  std::uint32_t unicodePathAt = suffixAt + 1;
  std::uint32_t unicodeSuffixAt = unicodePathAt + static_cast<std::uint32_t>(unicodePath.size());
  std::uint32_t total = unicodeSuffixAt + 2;

  std::string out;
  put32(out, total);
  put32(out, kLinkInfoHeaderWithUnicode);
  put32(out, kVolumeIdAndLocalBasePath);
  put32(out, volumeAt);
  put32(out, pathAt);
  put32(out, 0);  // no network link
  put32(out, suffixAt);
  put32(out, unicodePathAt);
  put32(out, unicodeSuffixAt);
  out += volume + ansiPath + '\0' + unicodePath + std::string(2, '\0');
  return out;
}

void putStringData(std::string& out, const std::string& text) {
  std::string units = utf8ToUtf16Bytes(text, false);
  put16(out, static_cast<std::uint32_t>(std::min<std::size_t>(units.size() / 2, 0xFFFF)));
  out += units.substr(0, 0xFFFF * 2);
}

// Bounds-checked little-endian reads over the file; any read past the end sets `bad`.
struct Reader {
  std::string_view bytes;
  bool bad = false;

  std::uint32_t u16(std::size_t at) {
    if (at > bytes.size() || bytes.size() - at < 2) return fail();
    return byte(at) | byte(at + 1) << 8;
  }
  std::uint32_t u32(std::size_t at) { return u16(at) | u16(at + 2) << 16; }
  std::string_view slice(std::size_t at, std::size_t length) {
    if (at > bytes.size() || bytes.size() - at < length) { fail(); return {}; }
    return bytes.substr(at, length);
  }
  std::uint32_t fail() { bad = true; return 0; }
  std::uint32_t byte(std::size_t at) { return static_cast<unsigned char>(bytes[at]); }
};

// A NUL-terminated text of 1- or 2-byte units starting at `at` within `area`.
std::string_view terminated(std::string_view area, std::size_t at, std::size_t unit) {
  if (at >= area.size()) return {};
  for (std::size_t end = at; end + unit <= area.size(); end += unit)
    if (area.substr(end, unit).find_first_not_of('\0') == std::string_view::npos)
      return area.substr(at, end - at);
  return {};
}

std::string targetFromLinkInfo(std::string_view info) {
  Reader r{info};
  std::uint32_t headerSize = r.u32(4), flags = r.u32(8);
  if (r.bad || !(flags & kVolumeIdAndLocalBasePath)) return {};
  if (headerSize >= kLinkInfoHeaderWithUnicode) {
    std::uint32_t pathAt = r.u32(0x1C), suffixAt = r.u32(0x20);
    std::string path = utf16BytesToUtf8(terminated(info, pathAt, 2), false);
    if (!r.bad && !path.empty())
      return path + utf16BytesToUtf8(terminated(info, suffixAt, 2), false);
  }
  std::uint32_t pathAt = r.u32(0x10), suffixAt = r.u32(0x18);
  if (r.bad) return {};
  return toUtf8(terminated(info, pathAt, 1), Charset::Gbk) +
         toUtf8(terminated(info, suffixAt, 1), Charset::Gbk);
}

}  // namespace

std::string writeShellLink(const ShellLink& link) {
  const std::pair<std::uint32_t, const std::string*> texts[] = {
      {kHasName, &link.description},       {kHasRelativePath, &link.relativePath},
      {kHasWorkingDir, &link.workingDirectory}, {kHasArguments, &link.arguments},
      {kHasIconLocation, &link.iconPath}};
  std::uint32_t flags = kHasLinkInfo | kIsUnicode;
  for (const auto& [flag, text] : texts)
    if (!text->empty()) flags |= flag;

  std::string out;
  put32(out, kHeaderSize);
  out.append(reinterpret_cast<const char*>(kLinkClsid.data()), kLinkClsid.size());
  put32(out, flags);
  put32(out, kFileAttributeArchive);
  out.append(24, '\0');  // creation, access and write times: unknown
  put32(out, 0);         // target size: unknown
  put32(out, static_cast<std::uint32_t>(link.iconIndex));
  put32(out, link.showCommand);
  put16(out, link.hotKey);
  out.append(10, '\0');  // reserved
  out += linkInfo(link.target);
  for (const auto& [flag, text] : texts)
    if (flags & flag) putStringData(out, *text);
  put32(out, 0);  // terminal block: no extra data
  return out;
}

std::optional<ShellLink> readShellLink(std::string_view bytes) {
  Reader r{bytes};
  if (r.u32(0) != kHeaderSize || r.slice(4, 16) != std::string_view(
          reinterpret_cast<const char*>(kLinkClsid.data()), kLinkClsid.size()))
    return std::nullopt;
  ShellLink link;
  std::uint32_t flags = r.u32(0x14);
  link.iconIndex = static_cast<std::int32_t>(r.u32(0x38));
  link.showCommand = r.u32(0x3C);
  link.hotKey = static_cast<std::uint16_t>(r.u16(0x40));
  std::size_t at = kHeaderSize;
  if (flags & kHasIdList) at += 2 + r.u16(at);
  if (flags & kHasLinkInfo) {
    std::uint32_t size = r.u32(at);
    link.target = targetFromLinkInfo(r.slice(at, size));
    at += size;
  }
  std::string* texts[] = {&link.description, &link.relativePath, &link.workingDirectory,
                          &link.arguments, &link.iconPath};
  std::uint32_t flag = kHasName;
  for (std::string* text : texts) {
    if (flags & flag) {
      std::size_t unit = (flags & kIsUnicode) ? 2 : 1;
      std::size_t length = r.u16(at) * unit;
      std::string_view raw = r.slice(at + 2, length);
      *text = unit == 2 ? utf16BytesToUtf8(raw, false) : toUtf8(raw, Charset::Gbk);
      // Some writers (Wine's shell among them) count a terminating NUL into the length.
      text->resize(std::min(text->size(), text->find('\0')));
      at += 2 + length;
    }
    flag <<= 1;
  }
  if (r.bad) return std::nullopt;
  return link;
}

std::uint16_t parseHotKey(std::string_view text) {
  std::uint16_t modifiers = 0, key = 0;
  while (!text.empty()) {
    std::size_t plus = text.find('+');
    std::string token(text.substr(0, plus));
    text = plus == std::string_view::npos ? std::string_view() : text.substr(plus + 1);
    for (char& c : token) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (token == "SHIFT") modifiers |= 0x1;
    else if (token == "CTRL" || token == "CONTROL") modifiers |= 0x2;
    else if (token == "ALT") modifiers |= 0x4;
    else if (token.size() == 1 && std::isalnum(static_cast<unsigned char>(token[0]))) key = token[0];
    else if (token.size() >= 2 && token[0] == 'F' && token.find_first_not_of("0123456789", 1) == std::string::npos) {
      int n = std::atoi(token.c_str() + 1);
      if (n < 1 || n > 24) return 0;
      key = static_cast<std::uint16_t>(0x70 + n - 1);  // VK_F1 onwards
    } else {
      return 0;
    }
  }
  return key ? static_cast<std::uint16_t>(modifiers << 8 | key) : 0;
}

ShellLink shellLinkFrom(const ShortcutProperties& properties) {
  ShellLink link;
  link.target = properties.target;
  link.description = properties.description.value_or("");
  link.workingDirectory = properties.workingDirectory.value_or("");
  link.arguments = properties.arguments.value_or("");
  if (properties.iconLocation) {
    const std::string& location = *properties.iconLocation;
    std::size_t comma = location.rfind(',');
    bool indexed = comma != std::string::npos &&
                   location.find_first_not_of("-0123456789", comma + 1) == std::string::npos;
    link.iconPath = indexed ? location.substr(0, comma) : location;
    link.iconIndex = indexed ? std::atoi(location.c_str() + comma + 1) : 0;
  }
  if (properties.hotKey) link.hotKey = parseHotKey(*properties.hotKey);
  if (properties.windowStyle) link.showCommand = static_cast<std::uint32_t>(*properties.windowStyle);
  return link;
}

}  // namespace qovra::platform
