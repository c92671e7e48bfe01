// Damaged ini files load without harm: what is not found reads as the default, edits
// still work and the file keeps following the buffer.
#include <gtest/gtest.h>

#include <random>
#include <ostream>
#include <string>
#include <vector>

#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"

namespace qovra::settings {
namespace {

using namespace std::string_literals;
using testing_support::fileBytes;

std::string randomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string repeated(const std::string& piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

struct DamagedCase {
  const char* name;
  std::string bytes;
  std::string section, key, expected;  // what a read of section/key gives ("<default>": nothing)
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const DamagedCase& c, std::ostream* out) { *out << c.name; }


std::vector<DamagedCase> damagedCases() {
  return {
      {"BinaryGarbage", randomBytes(256 * 1024, 7), "s", "k", "<default>"},
      {"GarbageWithBracketsAndLineBreaks", repeated("[s\r\n]\r\n[s]=\r\r\n\n[=]\xFF\x00"s, 5000), "s", "k",
       "<default>"},
      {"ZeroBytes", "[s]\r\nk=1\0\0\0\r\nj=\0x\r\n"s + std::string(1000, '\0'), "s", "k", "1"},
      {"OnlyZeroBytes", std::string(4096, '\0'), "s", "k", "<default>"},
      {"NoLineEndsAtAll", repeated("[s]k=1", 20000), "s", "k", "<default>"},
      {"LoneCarriageReturns", "[s]\rk=1\r[t]\rx=2\r", "s", "k", "<default>"},
      {"LoneLineFeeds", "[s]\nk=1\n[t]\nx=2\n", "s", "k", "<default>"},
      {"HeaderWithoutClosingBracket", "[s\r\nk=1\r\n[t]\r\nx=2", "s", "k", "<default>"},
      {"HeaderWithoutClosingBracketAtTheEnd", "[t]\r\nx=2\r\n[s", "s", "k", "<default>"},
      {"SameSectionTwice", "[s]\r\nj=1\r\n[s]\r\nk=2", "s", "k", "<default>"},
      {"OnlyAnOpeningBracket", "[", "s", "k", "<default>"},
      {"EqualsSignsOnly", "[s]\r\n=\r\n==\r\n=k=1", "s", "k", "<default>"},
      {"HalfAChineseCharacterAtTheEnd", "[s]\r\nk=1\r\nj=\xD5", "s", "k", "1"},
      {"ByteOrderMarkBeforeTheFirstHeader", "\xEF\xBB\xBF[s]\r\nk=1", "s", "k", "<default>"},
  };
}

class DamagedFileTest : public testing::TestWithParam<DamagedCase> {
 protected:
  testing_support::ServicesGuard services_;
};

TEST_P(DamagedFileTest, LoadsReadsDefaultsAndStillEdits) {
  const DamagedCase& c = GetParam();
  const std::string path = testing_support::scratchFolder() + "\\box.ini";
  ASSERT_TRUE(platform::writeFile(path, c.bytes));
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path, FileMode::WriteThrough));
  EXPECT_EQ(store.buffer(), c.bytes);
  EXPECT_EQ(store.readEntry(c.section, c.key, "<default>"), c.expected);
  EXPECT_EQ(store.readEntry("missing", "k", "<default>"), "<default>");
  store.selectSection("s");
  EXPECT_EQ(store.readNumber("missing", 5), 5);
  EXPECT_FALSE(store.readBool("missing"));
  std::vector<std::string> names;
  store.listSections(names);

  EXPECT_EQ(store.writeEntry("s", "k", "new"), kEditDone);
  EXPECT_EQ(store.readEntry("s", "k"), "new");
  EXPECT_EQ(store.writeEntry("fresh", "k", "1"), kEditDone);
  EXPECT_EQ(store.readEntry("fresh", "k"), "1");
  store.deleteEntry("s", "");
  store.renameSection("fresh", "renamed");
  EXPECT_EQ(store.readEntry("renamed", "k"), "1");
  EXPECT_EQ(fileBytes(path), store.buffer());
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedFileTest, testing::ValuesIn(damagedCases()),
                         [](const testing::TestParamInfo<DamagedCase>& info) { return info.param.name; });

TEST(LargeFileTest, FiftyMegabytesLoadReadAndEditAtTheEnd) {
  testing_support::ServicesGuard services;
  const std::string path = testing_support::scratchFolder() + "\\large.ini";
  std::string text = repeated("[section]\r\n" + repeated("key=value value value value\r\n", 1000), 1900);
  text += "[last]\r\nk=1";
  ASSERT_GE(text.size(), 50u << 20);
  ASSERT_TRUE(platform::writeFile(path, text));
  auto faults = testing_support::holdFaultyFiles();

  SettingsStore store;
  ASSERT_TRUE(store.setFile(path, FileMode::WriteThrough));
  EXPECT_EQ(store.buffer().size(), text.size());
  EXPECT_EQ(store.readEntry("last", "k"), "1");
  EXPECT_EQ(store.readEntry("missing", "k", "d"), "d");
  EXPECT_EQ(store.writeEntry("last", "k", "22"), kEditDone);
  EXPECT_EQ(store.writeEntry("added", "k", "1"), kEditDone);
  // Only the end of the file was written.
  EXPECT_LT(faults->bytesWritten, 100u);
  store.close();
  const std::string after = fileBytes(path);
  EXPECT_EQ(after.size(), text.size() + std::string("2\r\n[added]\r\nk=1").size());
  EXPECT_TRUE(after.ends_with("\r\n[last]\r\nk=22\r\n[added]\r\nk=1"));
  platform::deleteFile(path);
}

}  // namespace
}  // namespace qovra::settings
