#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "scratch_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/wide_text.h"
#else
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace qovra::platform {
namespace {

class FilesTest : public testing::Test {
 protected:
  void SetUp() override { dir_ = scratchFolder(); }
  void TearDown() override { deleteTree(dir_); }
  std::string at(const std::string& name) const { return dir_ + "\\" + name; }
  std::string dir_;
};

TEST_F(FilesTest, WritesReadsAndReplacesBytesExactly) {
  std::string bytes("a\0b\r\n\xFF", 6);
  ASSERT_TRUE(writeFile(at("data.bin"), bytes));
  EXPECT_EQ(readFile(at("data.bin")), bytes);
  ASSERT_TRUE(writeFile(at("data.bin"), "x"));
  EXPECT_EQ(readFile(at("data.bin")), "x");
  ASSERT_TRUE(writeFile(at("data.bin"), ""));
  EXPECT_EQ(readFile(at("data.bin")), "");
  EXPECT_EQ(listFolder(dir_), std::vector<std::string>{"data.bin"});  // no temporary left
}

TEST_F(FilesTest, MissingFilesAndFoldersAreReportedAsSuch) {
  EXPECT_EQ(readFile(at("none.txt")), std::nullopt);
  EXPECT_FALSE(pathExists(at("none.txt")));
  EXPECT_EQ(fileAttributes(at("none.txt")), std::nullopt);
  EXPECT_FALSE(writeFile(at("no\\such\\folder.txt"), "x"));
  EXPECT_FALSE(deleteFile(at("none.txt")));
  EXPECT_TRUE(listFolder(at("none")).empty());
}

TEST_F(FilesTest, ChineseNamesWorkEverywhere) {
  std::string folder = at("离线模式\\软件");
  ASSERT_TRUE(createFolder(folder));
  ASSERT_TRUE(writeFile(folder + "\\盒子.ini", "内容"));
  EXPECT_EQ(listFolder(folder), std::vector<std::string>{"盒子.ini"});
  ASSERT_TRUE(renamePath(folder + "\\盒子.ini", folder + "\\新盒子.ini"));
  EXPECT_EQ(readFile(folder + "\\新盒子.ini"), "内容");
  EXPECT_TRUE(deleteTree(at("离线模式")));
  EXPECT_FALSE(pathExists(at("离线模式")));
}

TEST_F(FilesTest, FoldersReportTheDirectoryBitAndFilesTheArchiveBit) {
  ASSERT_TRUE(createFolder(at("sub")));
  ASSERT_TRUE(writeFile(at("file.txt"), "x"));
  EXPECT_TRUE(isFolder(at("sub")));
  EXPECT_FALSE(isFolder(at("file.txt")));
  EXPECT_TRUE(*fileAttributes(at("sub")) & kAttrDirectory);
  EXPECT_EQ(*fileAttributes(at("file.txt")) & (kAttrDirectory | kAttrHidden), 0u);
  EXPECT_TRUE(*fileAttributes(at("file.txt")) & kAttrArchive);
}

TEST_F(FilesTest, HiddenAndArchiveBitsAreKept) {
  ASSERT_TRUE(writeFile(at("h.txt"), "x"));
  ASSERT_TRUE(setFileAttributes(at("h.txt"), kAttrHidden | kAttrArchive));
  EXPECT_EQ(*fileAttributes(at("h.txt")) & (kAttrHidden | kAttrArchive), kAttrHidden | kAttrArchive);
  ASSERT_TRUE(setFileAttributes(at("h.txt"), kAttrNormal));
  EXPECT_EQ(*fileAttributes(at("h.txt")) & kAttrHidden, 0u);
}

TEST_F(FilesTest, AHiddenFileStaysHiddenWhenRewritten) {
  ASSERT_TRUE(writeFile(at("config.ini"), "old"));
  ASSERT_TRUE(setFileAttributes(at("config.ini"), kAttrHidden));
  ASSERT_TRUE(writeFile(at("config.ini"), "new"));
  EXPECT_EQ(readFile(at("config.ini")), "new");
  EXPECT_TRUE(*fileAttributes(at("config.ini")) & kAttrHidden);
}

TEST_F(FilesTest, AReadOnlyFileIsNotOverwritten) {
  ASSERT_TRUE(writeFile(at("ro.txt"), "keep"));
  ASSERT_TRUE(setFileAttributes(at("ro.txt"), kAttrReadOnly));
  EXPECT_TRUE(*fileAttributes(at("ro.txt")) & kAttrReadOnly);
  EXPECT_FALSE(writeFile(at("ro.txt"), "lost"));
  EXPECT_EQ(readFile(at("ro.txt")), "keep");
  EXPECT_TRUE(deleteTree(dir_));  // read-only files do not stop a tree's removal
}

TEST_F(FilesTest, CreateFolderMakesParentsAndAcceptsAnExistingOne) {
  EXPECT_TRUE(createFolder(at("a\\b\\c")));
  EXPECT_TRUE(isFolder(at("a\\b\\c")));
  EXPECT_TRUE(createFolder(at("a\\b\\c")));
  ASSERT_TRUE(writeFile(at("file"), "x"));
  EXPECT_FALSE(createFolder(at("file")));
}

TEST_F(FilesTest, CopyFolderCopiesDeeplyAndOverwrites) {
  ASSERT_TRUE(createFolder(at("src\\deep")));
  ASSERT_TRUE(writeFile(at("src\\top.txt"), "new top"));
  ASSERT_TRUE(writeFile(at("src\\deep\\low.txt"), "low"));
  ASSERT_TRUE(createFolder(at("dst")));
  ASSERT_TRUE(writeFile(at("dst\\top.txt"), "old top that is longer"));
  ASSERT_TRUE(writeFile(at("dst\\other.txt"), "other"));
  ASSERT_TRUE(copyFolder(at("src"), at("dst")));
  EXPECT_EQ(readFile(at("dst\\top.txt")), "new top");
  EXPECT_EQ(readFile(at("dst\\deep\\low.txt")), "low");
  EXPECT_EQ(readFile(at("dst\\other.txt")), "other");
  EXPECT_EQ(readFile(at("src\\top.txt")), "new top");
  ASSERT_TRUE(copyFolder(at("src"), at("fresh\\copy")));
  EXPECT_EQ(readFile(at("fresh\\copy\\deep\\low.txt")), "low");
}

TEST_F(FilesTest, DeleteTreeRemovesAFolderOrAFile) {
  ASSERT_TRUE(createFolder(at("t\\u\\v")));
  ASSERT_TRUE(writeFile(at("t\\u\\v\\f"), "x"));
  ASSERT_TRUE(writeFile(at("t\\g"), "x"));
  ASSERT_TRUE(writeFile(at("lone"), "x"));
  EXPECT_TRUE(deleteTree(at("t")));
  EXPECT_TRUE(deleteTree(at("lone")));
  EXPECT_TRUE(listFolder(dir_).empty());
  EXPECT_FALSE(deleteTree(at("t")));
}

#ifndef _WIN32
TEST_F(FilesTest, DeleteTreeRemovesLinksButNotWhatTheyPointAt) {
  ASSERT_TRUE(createFolder(at("outside")));
  ASSERT_TRUE(writeFile(at("outside\\precious.txt"), "keep"));
  ASSERT_TRUE(createFolder(at("tree")));
  std::string outside = dir_ + "/outside";
  std::string tree = dir_ + "/tree";
  for (char& c : outside) if (c == '\\') c = '/';
  for (char& c : tree) if (c == '\\') c = '/';
  ASSERT_EQ(symlink(outside.c_str(), (tree + "/folder-link").c_str()), 0);
  ASSERT_EQ(symlink((outside + "/precious.txt").c_str(), (tree + "/file-link").c_str()), 0);
  EXPECT_TRUE(deleteTree(at("tree")));
  EXPECT_FALSE(pathExists(at("tree")));
  EXPECT_EQ(readFile(at("outside\\precious.txt")), "keep");
}

TEST_F(FilesTest, AttributesAreStoredTheWayWineStoresThem) {
  ASSERT_TRUE(writeFile(at("w.txt"), "x"));
  ASSERT_TRUE(setFileAttributes(at("w.txt"), kAttrHidden | kAttrArchive));
  std::string native = dir_ + "/w.txt";
  for (char& c : native) if (c == '\\') c = '/';
  char value[32] = {};
  ASSERT_GT(getxattr(native.c_str(), "user.DOSATTRIB", value, sizeof value - 1), 0);
  EXPECT_STREQ(value, "0x22");
}
#else
// A directory symbolic link inside the tree: removed as a link, its target untouched.
// (Needs the right to create links; where the system refuses, there is nothing to test.)
TEST_F(FilesTest, DeleteTreeRemovesLinksButNotWhatTheyPointAt) {
  ASSERT_TRUE(createFolder(at("outside")));
  ASSERT_TRUE(writeFile(at("outside\\precious.txt"), "keep"));
  ASSERT_TRUE(createFolder(at("tree")));
  std::wstring link = win32::widePath(at("tree\\folder-link"));
  if (!CreateSymbolicLinkW(link.c_str(), win32::widePath(at("outside")).c_str(),
                           SYMBOLIC_LINK_FLAG_DIRECTORY))
    GTEST_SKIP() << "no directory links here: " << GetLastError();
  EXPECT_TRUE(deleteTree(at("tree")));
  EXPECT_FALSE(pathExists(at("tree")));
  EXPECT_EQ(readFile(at("outside\\precious.txt")), "keep");
}
#endif

TEST(RunningProgram, KnowsItsFolderAndName) {
  std::string name = executableName();
  EXPECT_NE(name.find("platform_tests"), std::string::npos) << name;
  EXPECT_TRUE(pathExists(runDirectory() + "\\" + name));
  EXPECT_TRUE(isFolder(runDirectory()));
  EXPECT_NE(runDirectory().back(), '\\');
}

TEST(RunningProgram, ArgumentsAreThoseAfterTheProgram) {
  std::vector<std::string> given = testing::internal::GetArgvs();
  ASSERT_FALSE(given.empty());
  EXPECT_EQ(commandLineArguments(), std::vector<std::string>(given.begin() + 1, given.end()));
}

}  // namespace
}  // namespace qovra::platform
