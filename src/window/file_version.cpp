#include "window/file_version.h"

#include <cstdint>
#include <cstdio>

#include "platform/unicode.h"
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

// A text value of a version resource: its UTF-16LE code units up to the first zero
// unit, as UTF-8.
std::string versionText(const std::string& units) {
  std::size_t length = 0;
  while (length + 1 < units.size() && (units[length] != 0 || units[length + 1] != 0)) length += 2;
  return platform::utf16BytesToUtf8(std::string_view(units).substr(0, length), false);
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
