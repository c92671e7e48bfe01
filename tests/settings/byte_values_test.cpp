// Byte values live in "inibin\" + section + "-" + key + ".ibn" beside the ini file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/headless/headless_toolkit.h"
#include "settings/program_settings.h"
#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"
#include "settings/store_services.h"
#include "support/process_state.h"

namespace qovra::settings {
namespace {

using namespace std::string_literals;
using testing_support::fileBytes;

class ByteValuesTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing_support::scratchFolder();
    store_.setFile(folder_ + "\\Qovra·软件盒子.ini", FileMode::WriteThrough);
    store_.selectSection("图标缓存");
  }

  std::vector<std::string> storedNames() const {
    auto names = platform::listFolder(folder_ + "\\inibin");
    std::sort(names.begin(), names.end());
    return names;
  }

  testing_support::ServicesGuard services_;
  std::string folder_;
  SettingsStore store_;
};

TEST_F(ByteValuesTest, WrittenBesideTheIniAndReadBack) {
  const std::string picture = "BM\0\x01\x02\xFF"s + std::string(1000, '\x7F');
  EXPECT_FALSE(platform::pathExists(folder_ + "\\inibin"));
  ASSERT_TRUE(store_.writeBytes("Qovra·甲", picture));
  EXPECT_EQ(fileBytes(folder_ + "\\inibin\\图标缓存-Qovra·甲.ibn"), picture);
  EXPECT_EQ(store_.readBytes("Qovra·甲"), picture);
  // Nothing of it goes into the ini itself.
  EXPECT_EQ(store_.buffer(), "");
  ASSERT_TRUE(store_.writeBytes("Qovra·甲", "new"));
  EXPECT_EQ(store_.readBytes("Qovra·甲"), "new");
}

TEST_F(ByteValuesTest, MissingOrEmptyFilesGiveTheDefault) {
  EXPECT_EQ(store_.readBytes("missing", "default"), "default");
  ASSERT_TRUE(store_.writeBytes("empty", ""));
  EXPECT_TRUE(platform::pathExists(folder_ + "\\inibin\\图标缓存-empty.ibn"));
  EXPECT_EQ(store_.readBytes("empty", "default"), "default");
}

TEST_F(ByteValuesTest, TheSectionIsPartOfTheName) {
  store_.writeBytes("k", "one");
  store_.selectSection("other");
  EXPECT_EQ(store_.readBytes("k", "none"), "none");
  store_.writeBytes("k", "two");
  EXPECT_EQ(storedNames(), (std::vector<std::string>{"other-k.ibn", "图标缓存-k.ibn"}));
}

TEST_F(ByteValuesTest, KeysCannotReachOutsideTheFolderNorShareAFile) {
  const std::vector<std::string> keys = {"..\\..\\escaped", "../escaped", "a/b", "a%2Fb", "c:d", "e*?\"<>|",
                                          "tab\tkey", ""};
  for (std::size_t i = 0; i < keys.size(); ++i) ASSERT_TRUE(store_.writeBytes(keys[i], std::to_string(i)));
  for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(store_.readBytes(keys[i]), std::to_string(i)) << keys[i];
  EXPECT_EQ(storedNames().size(), keys.size());
  EXPECT_FALSE(platform::pathExists(folder_ + "\\escaped.ibn"));
  EXPECT_FALSE(platform::pathExists(folder_ + "\\..\\escaped.ibn"));
  const auto names = storedNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "图标缓存-..%5C..%5Cescaped.ibn"), names.end());
}

TEST(ProgramSettingsTest, BoundToTheTitleIniInTheRunDirectoryUntilReleased) {
  testing_support::ServicesGuard services;
  const std::string folder = testing_support::scratchFolder();
  const ProcessState saved = processState();
  processState().runDirectory = folder;
  processState().programTitle = "Qovra·软件盒子";

  ui::HeadlessToolkit toolkit;
  ui::setToolkit(&toolkit);
  EXPECT_TRUE(bindProgramSettings());
  programSettings().selectSection(kBasicSection);
  programSettings().writeBool(kNotFirstUseKey, true);
  const std::string ini = folder + "\\Qovra·软件盒子.ini";
  EXPECT_EQ(fileBytes(ini), "[\xBB\xF9\xB1\xBE\xC5\xE4\xD6\xC3]\r\n\xB7\xC7\xCA\xD7\xB4\xCE\xCA\xB9\xD3\xC3=\xD5\xE6");
  // A second copy of the box could only read it now.
  SettingsStore second;
  EXPECT_FALSE(second.setFile(ini, FileMode::WriteThrough));
  programSettings().selectSection(kIconCacheSection);
  EXPECT_TRUE(programSettings().writeBytes("Qovra·甲", "icon"));
  EXPECT_TRUE(platform::pathExists(folder + "\\inibin\\图标缓存-Qovra·甲.ibn"));

  releaseProgramSettings();
  ui::setToolkit(nullptr);
  EXPECT_TRUE(toolkit.messageBoxes().empty());
  EXPECT_FALSE(programSettings().writesThrough());
  EXPECT_EQ(programSettings().buffer(), "");
  SettingsStore after;
  EXPECT_TRUE(after.setFile(ini, FileMode::WriteThrough));
  processState() = saved;
}

}  // namespace
}  // namespace qovra::settings
