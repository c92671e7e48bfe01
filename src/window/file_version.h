// The version strings of a program file, as a row shows the installed version.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qovra {

// The twelve standard strings of a version resource, in the order the system's
// documentation lists them (alphabetical): "Comments" opens it, "SpecialBuild"
// closes it and "FileVersion", the one the rows use, is the fourth.
struct FileVersionRecord {
  std::string comments;
  std::string companyName;
  std::string fileDescription;
  std::string fileVersion;
  std::string internalName;
  std::string legalCopyright;
  std::string legalTrademarks;
  std::string originalFilename;
  std::string privateBuild;
  std::string productName;
  std::string productVersion;
  std::string specialBuild;

  static constexpr std::size_t kFieldCount = 12;
  // The resource names of the fields, in record order.
  static const std::array<std::string_view, kFieldCount>& names();
  // The field of the i-th name.
  std::string& field(std::size_t i);
  const std::string& field(std::size_t i) const;
};

// The version strings of the file's first translation, converted to UTF-8. Every field
// is empty when the file is missing or has no version resource or no translation.
FileVersionRecord readFileVersionRecord(const std::string& path);

// The language-and-code-page key of a "\VarFileInfo\Translation" entry (language in the
// low half, code page in the high half): language 0x0804 with code page 0x04B0 gives
// "080404B0".
std::string translationKey(std::uint32_t entry);

}  // namespace qovra
