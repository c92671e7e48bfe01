// A store holding its file: the file equals the buffer after every edit, a second holder
// only reads, failed writes leave a whole earlier file and are caught up, and edits write
// only from the changed byte on.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"

namespace qovra::settings {
namespace {

using testing_support::fileBytes;
using testing_support::Faults;

class WriteThroughTest : public testing::Test {
 protected:
  void SetUp() override { path_ = testing_support::scratchFolder() + "\\Qovra·软件盒子.ini"; }

  testing_support::ServicesGuard services_;
  std::string path_;
};

TEST_F(WriteThroughTest, TheFileIsCreatedAndFollowsEveryEdit) {
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  EXPECT_TRUE(store.writesThrough());
  EXPECT_TRUE(platform::pathExists(path_));
  EXPECT_EQ(fileBytes(path_), "");
  store.selectSection("软件排序_使用次数");
  store.writeNumber("Qovra·甲", 1);
  EXPECT_EQ(fileBytes(path_), store.buffer());
  EXPECT_EQ(fileBytes(path_),
            "[\xC8\xED\xBC\xFE\xC5\xC5\xD0\xF2_\xCA\xB9\xD3\xC3\xB4\xCE\xCA\xFD]\r\nQovra\xA1\xA4\xBC\xD7=1");
}

TEST_F(WriteThroughTest, AfterManyRandomEditsTheFileEqualsTheBuffer) {
  const char* sections[] = {"a", "b", "使用版本", "图标缓存", "x[y]", ""};
  const char* keys[] = {"k", "kk", "Qovra·甲", "=", "[z]", ""};
  const char* values[] = {"", "1", "12345678901234567890", "真", "a=b", "长一点的值", "[v]"};
  std::mt19937 random(20261211);
  auto pick = [&random](const auto& list) { return list[random() % std::size(list)]; };

  ASSERT_TRUE(platform::writeFile(path_, "; hand-written\r\n[a]\r\nk=0\r\n[b]\r\n"));
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  for (int i = 0; i < 1500; ++i) {
    switch (random() % 10) {
      case 0: store.deleteEntry(pick(sections), pick(keys)); break;
      case 1: store.deleteEntry(pick(sections), ""); break;
      case 2: store.renameSection(pick(sections), pick(sections)); break;
      case 3: store.writeEntry(pick(sections), pick(keys), pick(values), true); break;
      case 4: if (random() % 50 == 0) store.setText(pick(values), random() % 2 == 0); break;
      default: store.writeEntry(pick(sections), pick(keys), pick(values)); break;
    }
    ASSERT_EQ(store.fileBehindFrom(), FileMirror::kInStep) << "edit " << i;
    ASSERT_EQ(fileBytes(path_), store.buffer()) << "edit " << i;
  }
  const std::string last = store.buffer();
  store.close();
  SettingsStore again;
  ASSERT_TRUE(again.setFile(path_, FileMode::WriteThrough));
  EXPECT_EQ(again.buffer(), last);
}

TEST_F(WriteThroughTest, ASecondHolderOnlyReadsAndWorksOnItsBuffer) {
  SettingsStore first;
  ASSERT_TRUE(first.setFile(path_, FileMode::WriteThrough));
  first.writeEntry("s", "k", "1");

  SettingsStore second;
  EXPECT_FALSE(second.setFile(path_, FileMode::WriteThrough));
  EXPECT_FALSE(second.writesThrough());
  EXPECT_EQ(second.readEntry("s", "k"), "1");
  EXPECT_EQ(second.writeEntry("s", "k", "second"), kEditDone);
  EXPECT_EQ(second.readEntry("s", "k"), "second");
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=1");

  first.writeEntry("s", "k", "2");
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=2");
  second.close();
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=2");

  // Once the first lets go, the file can be held again.
  first.close();
  SettingsStore third;
  EXPECT_TRUE(third.setFile(path_, FileMode::WriteThrough));
  EXPECT_EQ(third.readEntry("s", "k"), "2");
}

TEST_F(WriteThroughTest, MemoryModeReadsTheFileAndNeverWritesIt) {
  ASSERT_TRUE(platform::writeFile(path_, "[s]\r\nk=1"));
  SettingsStore store;
  EXPECT_TRUE(store.setFile(path_, FileMode::MemoryOnly));
  EXPECT_FALSE(store.writesThrough());
  store.writeEntry("s", "k", "2");
  EXPECT_EQ(store.readEntry("s", "k"), "2");
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=1");
  // Nor does it keep others out.
  SettingsStore holder;
  EXPECT_TRUE(holder.setFile(path_, FileMode::WriteThrough));
}

TEST_F(WriteThroughTest, AFileThatCannotBeMadeGivesAnEmptyStoreThatStillWorks) {
  SettingsStore store;
  EXPECT_FALSE(store.setFile(path_ + "\\missing folder\\box.ini", FileMode::WriteThrough));
  EXPECT_EQ(store.readEntry("s", "k", "default"), "default");
  EXPECT_EQ(store.writeEntry("s", "k", "1"), kEditDone);
  EXPECT_EQ(store.readEntry("s", "k"), "1");
}

TEST_F(WriteThroughTest, OpenWithoutAPath) {
  SettingsStore store;
  EXPECT_TRUE(store.open("", true));
  EXPECT_FALSE(store.open("", false));
  EXPECT_EQ(store.writeEntry("s", "k", "1"), kEditDone);
  EXPECT_FALSE(store.writeBytes("k", "bytes"));
  EXPECT_EQ(store.readBytes("k", "default"), "default");
}

TEST_F(WriteThroughTest, AFullDiskLeavesTheWholeEarlierFileAndTheNextEditCatchesUp) {
  auto faults = testing_support::holdFaultyFiles();
  const std::string before = "[s]\r\nk=1\r\n[t]\r\nx=2";
  ASSERT_TRUE(platform::writeFile(path_, before));
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));

  faults->capacity = before.size() + 2;  // the longer value does not fit
  EXPECT_EQ(store.writeEntry("s", "k", "12345"), kFileBehind);
  EXPECT_EQ(store.readEntry("s", "k"), "12345");
  EXPECT_EQ(fileBytes(path_), before);
  EXPECT_EQ(store.fileBehindFrom(), std::string("[s]\r\nk=").size());

  // An edit further on still rewrites from where the file fell behind.
  faults->capacity = UINT64_MAX;
  EXPECT_EQ(store.writeEntry("t", "x", "3"), kEditDone);
  EXPECT_EQ(store.fileBehindFrom(), FileMirror::kInStep);
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=12345\r\n[t]\r\nx=3");
}

TEST_F(WriteThroughTest, AShortWriteAtAnyPointNeverLeavesHalfALine) {
  const std::string before = "[s]\r\nk=1\r\n[t]\r\nx=2\r\ny=3";
  for (const char* value : {"", "2", "22", "a much longer value than before"}) {
    SCOPED_TRACE(value);
    auto faults = testing_support::holdFaultyFiles();
    ASSERT_TRUE(platform::writeFile(path_, before));
    SettingsStore store;
    ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
    faults->everyOtherWriteShort = true;
    EXPECT_EQ(store.writeEntry("s", "k", value), kFileBehind);
    EXPECT_EQ(fileBytes(path_), before);
    EXPECT_EQ(store.fileBehindFrom(), std::string("[s]\r\nk=").size());
    faults->everyOtherWriteShort = false;
    store.close();  // letting go brings the file in step
    EXPECT_EQ(fileBytes(path_), std::string("[s]\r\nk=") + value + "\r\n[t]\r\nx=2\r\ny=3");
  }
}

TEST_F(WriteThroughTest, AFailedFlushCountsAsAFailedWrite) {
  auto faults = testing_support::holdFaultyFiles();
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  faults->failFlush = true;
  EXPECT_EQ(store.writeEntry("s", "k", "1"), kFileBehind);
  EXPECT_EQ(store.fileBehindFrom(), 0u);
  faults->failFlush = false;
  EXPECT_EQ(store.writeEntry("s", "j", "2"), kEditDone);
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=1\r\nj=2");
}

TEST_F(WriteThroughTest, AFileLockedUnderneathCatchesUpOnTheNextEditThatChangesNothing) {
  auto faults = testing_support::holdFaultyFiles();
  ASSERT_TRUE(platform::writeFile(path_, "[s]\r\nk=1"));
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  faults->locked = true;
  EXPECT_EQ(store.writeEntry("s", "k", "2"), kFileBehind);
  EXPECT_EQ(store.writeEntry("s", "j", "3"), kFileBehind);
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=1");
  EXPECT_EQ(store.fileBehindFrom(), std::string("[s]\r\nk=").size());
  faults->locked = false;
  // The same value again changes no byte of the buffer, yet the file is brought in step.
  EXPECT_EQ(store.writeEntry("s", "j", "3"), kEditDone);
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=2\r\nj=3");
}

TEST_F(WriteThroughTest, EditsWriteOnlyFromTheChangedByteOn) {
  std::string text;
  for (int section = 0; section < 50; ++section) {
    text += "[section" + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 100; ++key) text += "key" + std::to_string(key) + "=value\r\n";
  }
  ASSERT_TRUE(platform::writeFile(path_, text));
  auto faults = testing_support::holdFaultyFiles();
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));

  store.writeEntry("section0", "key0", "VALUE");  // same length: only the value
  EXPECT_EQ(faults->bytesWritten, 5u);
  faults->bytesWritten = 0;
  store.writeEntry("section49", "key99", "longer value");  // the last line only
  EXPECT_EQ(faults->bytesWritten, std::string("longer value\r\n").size());
  faults->bytesWritten = 0;
  store.writeEntry("new", "k", "1");  // appended
  EXPECT_EQ(faults->bytesWritten, std::string("\r\n[new]\r\nk=1").size());
  faults->bytesWritten = 0;
  store.writeEntry("section25", "key0", "v");  // from there to the end
  const std::size_t from = store.buffer().find("[section25]\r\nkey0=") + std::string("[section25]\r\nkey0=").size();
  EXPECT_EQ(faults->bytesWritten, store.buffer().size() - from);
  EXPECT_EQ(fileBytes(path_), store.buffer());
}

TEST_F(WriteThroughTest, AFileDeletedUnderneathIsMadeAgainFromTheBuffer) {
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  store.writeEntry("s", "k", "1");
  // Windows refuses to delete a held file; elsewhere it goes and must come back.
  platform::deleteFile(path_);
  store.writeEntry("s", "j", "2");
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=1\r\nj=2");
  EXPECT_EQ(store.fileBehindFrom(), FileMirror::kInStep);
}

TEST_F(WriteThroughTest, AFileReplacedUnderneathGetsTheBufferBack) {
  SettingsStore store;
  ASSERT_TRUE(store.setFile(path_, FileMode::WriteThrough));
  store.writeEntry("s", "k", "1");
  // Windows refuses to replace a held file; elsewhere the newcomer is overwritten.
  platform::writeFile(path_, "[other]\r\nz=9");
  store.writeEntry("s", "j", "2");
  EXPECT_EQ(fileBytes(path_), "[s]\r\nk=1\r\nj=2");
}

}  // namespace
}  // namespace qovra::settings
