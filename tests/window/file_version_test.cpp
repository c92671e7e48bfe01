// The version strings of the fixture programs. The same expectations hold for the
// portable reader (native build) and for the system's own calls (Windows build), so
// passing in both builds shows that they agree.
#include "window/file_version.h"

#include <gtest/gtest.h>

#include <map>

namespace qovra {
namespace {

std::string fixture(const std::string& name) { return std::string(QOVRA_BINARY_DIR) + "/fixtures/" + name; }

struct Expected {
  const char* file;
  std::map<std::string, std::string> strings;  // by resource name; the rest empty
};

const Expected kFixtures[] = {
    {"ver_cn.exe",
     {{"Comments", "注释 comments"},
      {"CompanyName", "Qovra 工作室"},
      {"FileDescription", "中文说明的程序"},
      {"FileVersion", "2.3.4.5"},
      {"InternalName", "ver_cn"},
      {"LegalCopyright", "版权所有 (C) 2026"},
      {"LegalTrademarks", "Qovra™"},
      {"OriginalFilename", "ver_cn.exe"},
      {"PrivateBuild", "private-7"},
      {"ProductName", "测试产品"},
      {"ProductVersion", "2.3"},
      {"SpecialBuild", "special-9"}}},
    {"ver_en.exe",
     {{"FileDescription", "English fixture"}, {"FileVersion", "1.0.0.0"}, {"ProductName", "Qovra Fixture"}}},
    // A 32-bit program with code page 1252 in its translation.
    {"ver_x86.exe", {{"CompanyName", "Qovra x86"}, {"FileVersion", "5.6.7.8"}}},
    {"ver_nofilever.exe", {{"ProductVersion", "3.0"}}},
    // Strings without a translation entry are never looked at.
    {"ver_notrans.exe", {}},
    // The translation names a table the file does not have.
    {"ver_mismatch.exe", {}},
    {"no_version.exe", {}},
    {"missing.exe", {}},
};

TEST(FileVersionRecord, FixturesGiveTheirStringsInRecordOrder) {
  for (const Expected& e : kFixtures) {
    SCOPED_TRACE(e.file);
    FileVersionRecord record = readFileVersionRecord(fixture(e.file));
    for (std::size_t i = 0; i < FileVersionRecord::kFieldCount; ++i) {
      std::string name(FileVersionRecord::names()[i]);
      auto it = e.strings.find(name);
      EXPECT_EQ(record.field(i), it == e.strings.end() ? "" : it->second) << name;
    }
  }
}

TEST(FileVersionRecord, FieldOrderStartsWithCommentsAndHasFileVersionFourth) {
  const auto& names = FileVersionRecord::names();
  EXPECT_EQ(names.front(), "Comments");
  EXPECT_EQ(names[3], "FileVersion");
  EXPECT_EQ(names.back(), "SpecialBuild");
  FileVersionRecord record;
  record.fileVersion = "x";
  EXPECT_EQ(&record.field(3), &record.fileVersion);
  EXPECT_EQ(&record.field(0), &record.comments);
  EXPECT_EQ(&record.field(11), &record.specialBuild);
}

TEST(FileVersionRecord, TranslationKeyPutsLanguageBeforeCodePage) {
  struct Case {
    std::uint32_t entry;
    const char* key;
  } cases[] = {
      {0x04B00804, "080404B0"},
      {0x04B00409, "040904B0"},
      {0x04E40409, "040904E4"},
      {0x00000000, "00000000"},
      {0xABCD00EF, "00EFABCD"},
  };
  for (const Case& c : cases) EXPECT_EQ(translationKey(c.entry), c.key) << std::hex << c.entry;
}

}  // namespace
}  // namespace qovra
