#include "window/file_version.h"

#include <cstdint>
#include <cstdio>

#include "platform/version_resource.h"

namespace qovra {

const std::array<std::string_view, FileVersionRecord::kFieldCount>& FileVersionRecord::names() {
  static const std::array<std::string_view, kFieldCount> kNames = {
      "Comments",       "CompanyName",     "FileDescription",  "FileVersion",
      "InternalName",   "LegalCopyright",  "LegalTrademarks",  "OriginalFilename",
      "PrivateBuild",   "ProductName",     "ProductVersion",   "SpecialBuild"};
  return kNames;
}

std::string& FileVersionRecord::field(std::size_t i) {
  std::string* fields[kFieldCount] = {&comments,       &companyName,     &fileDescription,
                                      &fileVersion,    &internalName,    &legalCopyright,
                                      &legalTrademarks, &originalFilename, &privateBuild,
                                      &productName,    &productVersion,  &specialBuild};
  return *fields[i];
}

const std::string& FileVersionRecord::field(std::size_t i) const {
  return const_cast<FileVersionRecord*>(this)->field(i);
}

std::string translationKey(std::uint32_t entry) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(entry));
  std::string digits(hex);
  return digits.substr(4) + digits.substr(0, 4);
}

namespace {

void appendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// A text value of a version resource: UTF-16LE code units up to the first zero unit,
// as UTF-8. A surrogate without its partner becomes U+FFFD.
std::string versionText(const std::string& units) {
  std::string out;
  auto unit = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(units[2 * i]) |
                                      static_cast<unsigned char>(units[2 * i + 1]) << 8);
  };
  std::size_t count = units.size() / 2;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t c = unit(i);
    if (c == 0) break;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    appendUtf8(out, c);
  }
  return out;
}

}  // namespace

FileVersionRecord readFileVersionRecord(const std::string& path) {
  FileVersionRecord record;
  if (platform::versionResourceSize(path) == 0) return record;
  auto block = platform::readVersionResource(path);
  if (!block) return record;
  auto translation = platform::queryVersionBinary(*block, "\\VarFileInfo\\Translation");
  // A translation entry is four bytes; a shorter value names no string table.
  if (!translation || translation->size() < 4) return record;
  auto byte = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>((*translation)[i])); };
  std::string key = translationKey(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
  for (std::size_t i = 0; i < FileVersionRecord::kFieldCount; ++i) {
    std::string subBlock = "\\StringFileInfo\\" + key + "\\" + std::string(FileVersionRecord::names()[i]);
    if (auto value = platform::queryVersionText(*block, subBlock)) {
      std::string text = versionText(*value);
      if (!text.empty()) record.field(i) = std::move(text);
    }
  }
  return record;
}

}  // namespace qovra
