// The catalogue build end to end on the headless toolkit: a configuration from a stand-in
// server, the user's own list in front, installed programs from fixture executables, the
// usage order from the ini, the offline copy, a re-branded box, and builds asked for
// while one runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/box_config.h"
#include "platform/charset.h"
#include "settings/program_settings.h"
#include "window/catalogue_build.h"
#include "window/main_window_fixture.h"
#include "window/usage_order.h"

namespace qovra {
namespace {

using ui::Prop;

constexpr const char* kConfig =
    "[盒子]\r\n下载源=cookie-text\r\n"
    "[Qovra·甲]\r\n最新版本=2.3.4.5\r\n下载地址=http://d.example/甲.rar\r\n软件主页=http://h.example/甲\r\n"
    "视频教程=http://t.example/甲\r\n是否打开=否\r\n软件类型=0\r\n"
    "[Qovra·乙]\r\n最新版本=3.0\r\n下载地址=http://d.example/乙.rar\r\n软件类型=1\r\n"
    "[Qovra·丙]\r\n最新版本=1.0\r\n下载地址=http://pan.example/丙\r\n是否打开=是\r\n软件类型=2\r\n"
    "[其他·不是条目]\r\n最新版本=1.0\r\n"
    "[Qovra·..\\外面]\r\n最新版本=1.0\r\n";

class CatalogueBuildTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    resetCatalogueBuild();
    auto& services = boxConfigServices();
    services.configHost = "config.example";
    services.fetch = [this](std::string_view address) {
      ++fetches;
      fetchedFrom = std::string(address);
      if (onFetch) onFetch();
      return reply;
    };
    services.sleep = [](std::uint32_t) {};
    services.endProgram = [this](int code) { endedWith = code; };
  }
  void TearDown() override {
    restoreBoxConfigServices();
    resetCatalogueBuild();
    brandingProfile() = BrandingProfile{};
    MainWindowTest::TearDown();
  }

  // Opens the window with the box's dispatch and activates it: the first build runs. The
  // first-run question (or the fatal message) gets `answer`.
  void openAndActivate(const BrandingProfile& profile = {}, int answer = ui::kAnswerNo) {
    brandingProfile() = profile;
    tk.answerMessageBox(answer);
    window = tk.loadForm(mainWindowForm(), [profile](ui::Event& event) {
      if (event.kind == ui::EventKind::Created)
        prepareMainWindow(event.control, profile);
      else if (!handleCatalogueEvent(event) && !handleUsageOrderTimer(event))
        handleListAreaEvent(event);
    });
    tk.setInt(window, Prop::Visible, 1);
    tk.activate(window);
  }
  std::vector<std::string> rowNames() const {
    std::vector<std::string> names;
    for (const auto& row : catalogueState().rows) names.push_back(row.entry.name);
    return names;
  }
  const CatalogueRow* row(const std::string& name) const {
    for (const auto& r : catalogueState().rows)
      if (r.entry.name == name) return &r;
    return nullptr;
  }
  void writeGbk(const std::string& name, const std::string& text) {
    ASSERT_TRUE(platform::writeFile(runDirectory + "\\" + name, platform::fromUtf8(text, platform::Charset::Gbk)));
  }

  std::string reply = kConfig;
  std::function<void()> onFetch;
  int fetches = 0;
  std::string fetchedFrom;
  int endedWith = -1;
};

TEST_F(CatalogueBuildTest, TheFirstActivationBuildsRowsInConfigurationOrderWithTheirFields) {
  install("Qovra·甲", "ver_cn.exe");
  openAndActivate();
  EXPECT_EQ(fetches, 1);
  EXPECT_EQ(fetchedFrom, "http://config.example/box.txt");
  EXPECT_TRUE(catalogueState().catalogueReady);
  EXPECT_EQ(rowNames(), (std::vector<std::string>{"Qovra·甲", "Qovra·乙", "Qovra·丙"}))
      << "sections without the brand prefix and unsafe names are left out";
  const SoftwareEntry& a = row("Qovra·甲")->entry;
  EXPECT_EQ(a.usedVersion, "2.3.4.5");
  EXPECT_EQ(a.versionState, kCurrent);
  EXPECT_EQ(a.homepage, "http://h.example/甲");
  EXPECT_FALSE(a.manualDownload);
  const SoftwareEntry& c = row("Qovra·丙")->entry;
  EXPECT_TRUE(c.manualDownload);
  EXPECT_EQ(c.softwareType, 2);
  EXPECT_EQ(c.versionState, kNotDownloaded);
  EXPECT_EQ(catalogueState().downloadSource, "cookie-text");
  EXPECT_EQ(catalogueState().downloadRoot, runDirectory);
  EXPECT_EQ(get(control(std::string(kLoadingPanel).c_str()), Prop::Visible), 0);
  EXPECT_EQ(text(control(std::string(kLoadingLabel).c_str())), "正在初始化软件列表...3");
  // The installed version read from the program is remembered in the ini.
  auto& ini = settings::programSettings();
  EXPECT_EQ(ini.readEntry(settings::kUsedVersionSection, "Qovra·甲"), "2.3.4.5");
  // The list's content reaches down to the last row.
  EXPECT_EQ(catalogueState().contentBottom,
            get(control("控件教程"), Prop::Top) + 3 * get(control("控件教程"), Prop::Height));
  // A second activation builds nothing.
  tk.activate(window);
  EXPECT_EQ(fetches, 1);
}

TEST_F(CatalogueBuildTest, TheFetchedConfigurationIsKeptAsAHiddenOfflineCopyWithoutItsSource) {
  openAndActivate();
  const auto copy = platform::readFile(offlineCopyPath());
  ASSERT_TRUE(copy);
  const std::string text = platform::toUtf8(*copy, platform::Charset::Gbk);
  EXPECT_EQ(text.find("下载源="), std::string::npos);
  EXPECT_NE(text.find("[Qovra·甲]"), std::string::npos);
  EXPECT_TRUE(*platform::fileAttributes(offlineCopyPath()) & platform::kAttrHidden);
}

TEST_F(CatalogueBuildTest, UsageCountsOrderTheRowsAndTheCustomListWinsTies) {
  writeGbk(kCustomListName, "[Qovra·自己的]\r\n最新版本=1.0\r\n");
  auto& ini = settings::programSettings();
  ini.writeEntry(settings::kUsageCountSection, "Qovra·丙", "4");
  ini.writeEntry(settings::kUsageCountSection, "Qovra·乙", "2.9");
  openAndActivate();
  EXPECT_EQ(rowNames(), (std::vector<std::string>{"Qovra·丙", "Qovra·乙", "Qovra·自己的", "Qovra·甲"}));
  EXPECT_EQ(row("Qovra·乙")->entry.usageCount, 2);
  EXPECT_EQ(row("Qovra·自己的")->entry.position, 1);
  EXPECT_EQ(text(row("Qovra·丙")->nameLabel, Prop::Tag), "1");
}

TEST_F(CatalogueBuildTest, AProgramDeletedByHandCountsAsNotDownloadedButTheIniKeepsItsVersion) {
  settings::programSettings().writeEntry(settings::kUsedVersionSection, "Qovra·甲", "2.3.4.5");
  openAndActivate();
  EXPECT_EQ(row("Qovra·甲")->entry.versionState, kNotDownloaded);
  EXPECT_EQ(row("Qovra·甲")->entry.usedVersion, "");
  EXPECT_EQ(settings::programSettings().readEntry(settings::kUsedVersionSection, "Qovra·甲"), "2.3.4.5");
}

TEST_F(CatalogueBuildTest, ABrandedBoxRenamesItsEntriesDropsFreeOnesAndUsesTheBrandsAddresses) {
  writeGbk(kBrandOverridesName, "[星辰·甲]\r\n软件主页=http://brand.example/甲\r\n");
  BrandingProfile profile;
  profile.brandWord = "星辰";
  openAndActivate(profile);
  EXPECT_EQ(rowNames(), (std::vector<std::string>{"星辰·甲"}));
  EXPECT_EQ(row("星辰·甲")->entry.homepage, "http://brand.example/甲");
  EXPECT_EQ(row("星辰·甲")->entry.tutorial, "") << "the override replaces the address even when empty";
  EXPECT_EQ(catalogueState().downloadRoot, runDirectory + "\\temp");
  EXPECT_TRUE(platform::isFolder(runDirectory + "\\temp"));
  EXPECT_TRUE(*platform::fileAttributes(runDirectory + "\\temp") & platform::kAttrHidden);
}

TEST_F(CatalogueBuildTest, CheckingForUpdatesLeavesOfflineModeAndRebuildsWithFreshRows) {
  openAndActivate();
  const ui::ControlId oldLabel = row("Qovra·甲")->nameLabel;
  processState().offlineMode = true;
  reply = std::string(kConfig) + "[Qovra·新]\r\n最新版本=1.0\r\n";
  tk.click(control("按钮更新配置"));
  EXPECT_FALSE(processState().offlineMode);
  EXPECT_EQ(fetches, 2);
  EXPECT_EQ(rowNames().size(), 4u);
  EXPECT_NE(row("Qovra·甲")->nameLabel, oldLabel);
  EXPECT_EQ(tk.record(oldLabel), nullptr) << "the old rows' controls are gone";
}

TEST_F(CatalogueBuildTest, ABuildAskedForDuringABuildRunsAfterItNeverInsideIt) {
  int depth = 0, deepest = 0;
  onFetch = [&] {
    ++depth;
    deepest = std::max(deepest, depth);
    if (fetches == 1) buildCatalogue();  // "检测更新" pressed while the first build waits
    --depth;
  };
  openAndActivate();
  EXPECT_EQ(fetches, 2);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(rowNames().size(), 3u);
  EXPECT_TRUE(catalogueState().catalogueReady);
}

TEST_F(CatalogueBuildTest, LargeOrDamagedConfigurationsGiveASensibleCatalogue) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
  std::string manySections = "[盒子]\r\n";
  std::vector<std::string> everyFiveHundredth;
  for (int i = 0; i < 5000; ++i) {
    const std::string name = (i % 500 == 0 ? "Qovra·条目" : "别的·条目") + std::to_string(i);
    if (i % 500 == 0) everyFiveHundredth.push_back(name);
    manySections += "[" + name + "]\r\n最新版本=1.0\r\n";
  }
  const std::string hugeValue = "[盒子]\r\n[Qovra·大]\r\n软件主页=" + std::string(10 * 1024 * 1024, 'x') + "\r\n最新版本=1.0";
  struct Case {
    const char* what;
    std::string reply;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"garbage after the box section", "[盒子]\r\n" + garbage, {}},
      {"garbage around one entry", "[盒子]\r\n" + garbage + "\r\n[Qovra·好]\r\n最新版本=1.0\r\n" + garbage, {"Qovra·好"}},
      {"no line ends at all", "[盒子][Qovra·甲]最新版本=1.0", {}},
      {"lone line feeds", "[盒子]\n[Qovra·甲]\n最新版本=1.0\n", {}},
      {"5,000 sections", manySections, everyFiveHundredth},
      {"a 10 MB value", hugeValue, {"Qovra·大"}},
  };
  bool first = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reply = c.reply;
    if (first) {
      openAndActivate();
      first = false;
    } else {
      ASSERT_TRUE(tk.click(control("按钮更新配置")));
    }
    EXPECT_TRUE(catalogueState().catalogueReady);
    EXPECT_EQ(rowNames(), c.rows);
  }
  EXPECT_EQ(row("Qovra·大")->entry.homepage.size(), 10u * 1024 * 1024);
}

TEST_F(CatalogueBuildTest, NoSectionsLeaveAnEmptyListAndHideTheLoadingPanel) {
  reply = "[盒子]\r\n下载源=\r\n";
  openAndActivate();
  EXPECT_TRUE(catalogueState().rows.empty());
  EXPECT_EQ(get(control(std::string(kLoadingPanel).c_str()), Prop::Visible), 0);
  EXPECT_TRUE(catalogueState().catalogueReady);
}

TEST_F(CatalogueBuildTest, WithoutAnyConfigurationTheProgramEndsAndNoRowIsBuilt) {
  reply.clear();
  openAndActivate({}, ui::kAnswerOk);
  EXPECT_EQ(fetches, kFetchTries);
  EXPECT_EQ(endedWith, kNoConfigExitCode);
  EXPECT_TRUE(catalogueState().rows.empty());
  EXPECT_FALSE(catalogueState().catalogueReady);
}

}  // namespace
}  // namespace qovra
