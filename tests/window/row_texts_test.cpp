#include "window/row_texts.h"

#include <gtest/gtest.h>

namespace qovra {
namespace {

SoftwareEntry entry(std::string name, int type, std::string used) {
  SoftwareEntry e;
  e.name = std::move(name);
  e.softwareType = type;
  e.usedVersion = std::move(used);
  return e;
}

TEST(RowTexts, LabelIsPrefixNamePaddingAndVersion) {
  struct Case {
    SoftwareEntry entry;
    std::string text;
  } cases[] = {
      // 4 bytes of prefix + 6 of name + 22 spaces = 32 bytes before the version part.
      {entry("记事本", kFreeSoftware, "1.2.0.0"), "[免]记事本" + std::string(22, ' ') + " v1.2.0.0"},
      {entry("abc", kFreeGame, ""), "[游]abc" + std::string(25, ' ') + " (未下载)"},
      {entry("abc", 7, ""), "abc" + std::string(29, ' ') + " (未下载)"},
      {entry(std::string(32, 'x'), 0, "2"), std::string(32, 'x') + " v2"},
      {entry(std::string(40, 'x'), 0, ""), std::string(40, 'x') + " (未下载)"},
  };
  for (const auto& c : cases) EXPECT_EQ(rowLabelText(c.entry), c.text) << c.entry.name;
}

TEST(RowTexts, DownloadCaptionsFollowTheStateAndArePadded) {
  struct Case {
    std::string address, latest;
    int state;
    bool enableDownload;
    std::string caption;
    std::optional<bool> enabled;
  } cases[] = {
      {"", "1.0", kNotDownloaded, false, "没有下载地址!" + std::string(4, ' '), false},
      {"", "1.0", kNotDownloaded, true, "没有下载地址!" + std::string(4, ' '), true},
      {"http://x", "1.0", kNotDownloaded, false, "下载 v1.0" + std::string(8, ' '), std::nullopt},
      {"http://x", "", kNotDownloaded, false, "下载 v0.0.0.0" + std::string(4, ' '), std::nullopt},
      {"http://x", "2.0", kUpgradeAvailable, true, "升级 v2.0" + std::string(8, ' '), true},
      {"http://x", "2.0", kCurrent, true, "已是最新版本!" + std::string(4, ' '), false},
      {"http://x", "1.2.3.4567890123", kNotDownloaded, false, "下载 v1.2.3.4567890123", std::nullopt},
  };
  for (const auto& c : cases) {
    SoftwareEntry e;
    e.downloadAddress = c.address;
    e.latestVersion = c.latest;
    e.versionState = c.state;
    const auto state = downloadButtonState(e, c.enableDownload);
    EXPECT_EQ(state.caption, c.caption) << c.caption;
    EXPECT_EQ(state.enabled, c.enabled) << c.caption;
  }
}

}  // namespace
}  // namespace qovra
