// The undo record beside the ini ("<ini>.qovra-undo"): what an open does with the record
// an interrupted edit left, and what an edit does when no record can be written.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/held_file.h"
#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"
#include "settings/undo_record.h"

namespace qovra::settings {
namespace {

using namespace std::string_literals;
using testing_support::fileBytes;

// The record of an edit that replaced `oldBytes` at `offset` by `newBytes`.
std::string recordOf(std::uint64_t offset, const std::string& oldBytes, bool toTheEnd, const std::string& newBytes) {
  return encodeUndoRecord({offset, oldBytes, toTheEnd, newBytes.size(), hashOf(newBytes)});
}

struct LeftRecordCase {
  const char* name;
  std::string ini;     // as the cut left it
  std::string record;  // as the cut left it
  std::string opened;  // the ini once opened
};

void PrintTo(const LeftRecordCase& c, std::ostream* out) { *out << c.name; }

// Before the edit: "[s]\r\nk=1\r\nj=2"; the edit wrote "22\r\nj=2" from offset 7.
const std::string kBefore = "[s]\r\nk=1\r\nj=2";
const std::string kAfter = "[s]\r\nk=22\r\nj=2";

std::vector<LeftRecordCase> leftRecordCases() {
  const std::string record = recordOf(7, "1\r\nj=2", true, "22\r\nj=2");
  return {
      {"TornWriteIsUndone", "[s]\r\nk=22\r\nj", record, kBefore},
      {"WriteNotBegunIsLeftAsItIs", kBefore, record, kBefore},
      {"WholeWriteIsKept", kAfter, record, kAfter},
      {"WriteWithoutItsCutIsUndone", kAfter + "=2"s, record, kBefore},
      {"SameLengthWriteTornIsUndone", "[s]\r\nk=9\r\nj=2",
       recordOf(7, "1", false, "8"), kBefore},
      {"TornRecordIsIgnored", "[s]\r\nk=22\r\nj", record.substr(0, record.size() - 3), "[s]\r\nk=22\r\nj"},
      {"RecordWithAWrongChecksumIsIgnored", "[s]\r\nk=22\r\nj",
       record.substr(0, record.size() - 1) + static_cast<char>(record.back() ^ 1), "[s]\r\nk=22\r\nj"},
      {"CancelledRecordIsIgnored", "[s]\r\nk=22\r\nj", std::string(8, '\0') + record.substr(8), "[s]\r\nk=22\r\nj"},
      {"GarbageIsIgnored", kAfter, "not a record at all \xFF\x00"s, kAfter},
      {"EmptyRecord", kAfter, "", kAfter},
      {"RecordBeyondTheEndOfTheFileIsIgnored", "[s]", record, "[s]"},
  };
}

class LeftRecordTest : public testing::TestWithParam<LeftRecordCase> {
 protected:
  void SetUp() override {
    path_ = testing_support::scratchFolder() + "\\box.ini";
    ASSERT_TRUE(platform::writeFile(path_, GetParam().ini));
    ASSERT_TRUE(platform::writeFile(path_ + ".qovra-undo", GetParam().record));
  }
  std::string path_;
};

TEST_P(LeftRecordTest, AHolderPutsTheFileRight) {
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  EXPECT_EQ(store.buffer(), GetParam().opened);
  EXPECT_EQ(fileBytes(path_), GetParam().opened);
  // The record has been dealt with: opening again changes nothing more.
  store.close();
  SettingsStore again;
  ASSERT_TRUE(again.setFile(path_, FileMode::WriteThrough));
  EXPECT_EQ(again.buffer(), GetParam().opened);
}

TEST_P(LeftRecordTest, ASecondCopySeesTheFilePutRightWithoutWritingIt) {
  auto holder = platform::holdFile(path_);  // holds the ini without opening any record
  ASSERT_TRUE(holder && holder->writable());
  SettingsStore store;
  EXPECT_FALSE(store.setFile(path_, FileMode::WriteThrough));
  EXPECT_EQ(store.buffer(), GetParam().opened);
  EXPECT_EQ(fileBytes(path_), GetParam().ini);
  EXPECT_EQ(fileBytes(path_ + ".qovra-undo"), GetParam().record);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeftRecordTest, testing::ValuesIn(leftRecordCases()),
                         [](const testing::TestParamInfo<LeftRecordCase>& info) { return info.param.name; });

class UndoFileTest : public testing::Test {
 protected:
  void SetUp() override { path_ = testing_support::scratchFolder() + "\\box.ini"; }
  testing_support::ServicesGuard services_;
  std::string path_;
};

TEST_F(UndoFileTest, WithoutARecordTheIniIsNotTouchedAndCatchesUpLater) {
  auto faults = testing_support::holdFaultyFiles();
  ASSERT_TRUE(platform::writeFile(path_, kBefore));
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  faults->undoFails = true;
  faults->calls.clear();
  EXPECT_EQ(store.writeEntry("s", "k", "22"), kFileBehind);
  EXPECT_EQ(faults->calls.find('w'), std::string::npos) << faults->calls;
  EXPECT_EQ(fileBytes(path_), kBefore);
  EXPECT_EQ(store.readEntry("s", "k"), "22");
  faults->undoFails = false;
  EXPECT_EQ(store.writeEntry("s", "j", "3"), kEditDone);
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=22\r\nj=3");
}

TEST_F(UndoFileTest, TheRecordIsHiddenAndEmptyWhenNoEditIsUnderWay) {
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  store.writeEntry("s", "k", "1");
  store.writeEntry("s", "k", "22");
  const std::string record = path_ + ".qovra-undo";
  ASSERT_TRUE(platform::pathExists(record));
  EXPECT_TRUE(platform::fileAttributes(record).value_or(0) & platform::kAttrHidden);
  EXPECT_FALSE(decodeUndoRecord(fileBytes(record)).has_value());
  store.close();
  EXPECT_EQ(fileBytes(record), "");
}

TEST_F(UndoFileTest, ARecordHeldByAnotherKeepsTheIniFromBeingWritten) {
  // A record that exists but cannot be written could be stale at the next open and put
  // old bytes over newer edits.
  ASSERT_TRUE(platform::writeFile(path_, kBefore));
  ASSERT_TRUE(platform::writeFile(path_ + ".qovra-undo", ""));
  auto other = platform::holdFile(path_ + ".qovra-undo");
  ASSERT_TRUE(other && other->writable());
  SettingsStore store;
  EXPECT_FALSE(store.setFile(path_, FileMode::WriteThrough));
  EXPECT_FALSE(store.writesThrough());
  store.writeEntry("s", "k", "22");
  EXPECT_EQ(fileBytes(path_), kBefore);
  other.reset();
  SettingsStore later;
  EXPECT_TRUE(later.setFile(path_, FileMode::WriteThrough));
}

}  // namespace
}  // namespace qovra::settings
