#include "catalogue/box_config.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/scratch_run_directory.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "platform/headless/headless_toolkit.h"
#include "support/forms.h"
#include "support/process_state.h"

namespace qovra {
namespace {

const std::string kValidConfig = "[盒子]\r\n下载源=src1\r\n[Qovra·记事本]\r\n最新版本=1.2\r\n";
const std::string kLocalConfig = "[盒子]\r\n[Qovra·本地]\r\n最新版本=0.9\r\n";

std::string gbk(const std::string& utf8) { return platform::fromUtf8(utf8, platform::Charset::Gbk); }

// The main window on the headless toolkit, a configuration server that answers from a
// script, and a run directory of its own. Pauses move the virtual clock.
class BoxConfigTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratchRunDirectory();
    ui::setToolkit(&toolkit_);
    window_ = toolkit_.loadForm(mainWindowForm(), [](ui::Event&) {});
    toolkit_.setInt(window_, ui::Prop::Visible, 1);
    auto& state = processState();
    state = ProcessState{};
    state.runDirectory = folder_;
    catalogueState() = CatalogueState{};
    auto& services = boxConfigServices();
    services.configHost = "config.test:8080";
    services.fetch = [this](std::string_view address) {
      fetches_.push_back({std::string(address), toolkit_.nowMs()});
      if (replies_.empty()) return std::string();
      std::string reply = replies_.front();
      replies_.pop_front();
      return reply;
    };
    services.sleep = [this](std::uint32_t ms) {
      ++sleeps_;
      toolkit_.advanceTime(ms);
    };
    services.endProgram = [this](int code) { endedWith_ = code; };
  }
  void TearDown() override {
    restoreBoxConfigServices();
    ui::setToolkit(nullptr);
    catalogueState() = CatalogueState{};
    processState() = ProcessState{};
    EXPECT_TRUE(toolkit_.problems().empty());
  }

  std::string path(const std::string& name) const { return folder_ + "\\" + name; }
  std::string offlineCopy() const { return path(catalogueState().brandName + "·软件列表.ini"); }
  std::string loadingText() const { return toolkit_.getText(toolkit_.find(window_, "标签1"), ui::Prop::Caption); }
  // Hidden and writable again; Wine reports the archive bit beside what was set.
  static bool hiddenAndWritable(const std::string& file) {
    const unsigned attributes = platform::fileAttributes(file).value_or(0);
    return (attributes & platform::kAttrHidden) && !(attributes & platform::kAttrReadOnly);
  }
  bool loadingShown() const { return toolkit_.isShown(toolkit_.find(window_, "图片框加载中")); }
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& box : toolkit_.messageBoxes()) texts.push_back(box.text);
    return texts;
  }

  struct Fetch {
    std::string address;
    std::uint64_t atMs;
  };
  std::string folder_;
  ui::HeadlessToolkit toolkit_;
  ui::ControlId window_ = 0;
  std::deque<std::string> replies_;
  std::vector<Fetch> fetches_;
  int sleeps_ = 0;
  std::optional<int> endedWith_;
};

TEST_F(BoxConfigTest, OfflineModeTakesTheLocalCopyWithoutAsking) {
  struct Case {
    const char* what;
    std::optional<std::string> offlineCopy, fallbackCopy;
    std::string expected;
  } cases[] = {
      {"offline copy", kLocalConfig, std::nullopt, kLocalConfig},
      {"only box.txt", std::nullopt, "[Qovra·用户]\r\n", "[Qovra·用户]\r\n"},
      {"both: the offline copy wins", kLocalConfig, "[Qovra·用户]\r\n", kLocalConfig},
      {"an empty offline copy gives way", "", "[Qovra·用户]\r\n", "[Qovra·用户]\r\n"},
      {"no [盒子] needed locally", "just text", std::nullopt, "just text"},
  };
  for (const auto& c : cases) {
    platform::deleteFile(offlineCopy());
    platform::deleteFile(path("box.txt"));
    if (c.offlineCopy) { ASSERT_TRUE(platform::writeFile(offlineCopy(), gbk(*c.offlineCopy))); }
    if (c.fallbackCopy) { ASSERT_TRUE(platform::writeFile(path("box.txt"), gbk(*c.fallbackCopy))); }
    processState().offlineMode = true;
    replies_ = {kValidConfig};

    const ObtainedConfig config = obtainBoxConfig(window_);
    EXPECT_EQ(config.text, c.expected) << c.what;
    EXPECT_FALSE(config.fetched) << c.what;
    EXPECT_FALSE(config.programEnded) << c.what;
    EXPECT_TRUE(fetches_.empty()) << c.what;
    EXPECT_TRUE(messages().empty()) << c.what;
    EXPECT_EQ(loadingText(), "正在加载远程配置文件...") << c.what;
    EXPECT_TRUE(loadingShown()) << c.what;
  }
}

TEST_F(BoxConfigTest, OfflineModeWithoutAnyCopyWarnsThenTriesThreeTimesAndEnds) {
  catalogueState().brandName = "星火";
  processState().offlineMode = true;
  toolkit_.answerMessageBox(ui::kAnswerOk);
  toolkit_.answerMessageBox(ui::kAnswerOk);

  const ObtainedConfig config = obtainBoxConfig(window_);

  EXPECT_TRUE(config.programEnded);
  EXPECT_EQ(config.text, "");
  EXPECT_EQ(endedWith_, 1);
  EXPECT_EQ(fetches_.size(), 3u);
  EXPECT_EQ(messages(),
            (std::vector<std::string>{
                "使用离线模式之前必须先用正常模式读取一次包含软件列表的盒子配置，或咨询客服获取盒子配置文件！现在是正常模式启动。",
                "访问远程配置文件失败（而且也没有本地离线配置文件）！请检查本软件是否被拦截网络访问！请添加信任，然后重新"
                "运行本软件！或咨询星火"}));
  for (const auto& box : toolkit_.messageBoxes()) {
    EXPECT_EQ(box.title, "信息：");
    EXPECT_EQ(box.style, ui::kOk);
  }
  EXPECT_TRUE(processState().offlineMode) << "the switch itself stays set";
}

TEST_F(BoxConfigTest, TheThirdTryCanAnswerAfterTwoPausesThatKeepTheWindowAlive) {
  replies_ = {"", "", kValidConfig};
  std::vector<std::uint64_t> ticks;
  toolkit_.schedule(500, [&] { ticks.push_back(toolkit_.nowMs()); });
  toolkit_.schedule(1500, [&] { ticks.push_back(toolkit_.nowMs()); });
  const std::uint64_t start = toolkit_.nowMs();

  const ObtainedConfig config = obtainBoxConfig(window_);

  EXPECT_EQ(config.text, kValidConfig);
  EXPECT_TRUE(config.fetched);
  ASSERT_EQ(fetches_.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(fetches_[i].address, "http://config.test:8080/box.txt");
    EXPECT_EQ(fetches_[i].atMs, start + 1000 * i);
  }
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{start + 500, start + 1500}));
  EXPECT_TRUE(messages().empty());
  EXPECT_FALSE(endedWith_);
}

TEST_F(BoxConfigTest, AFailedFetchFallsBackToTheLocalCopyOrEndsTheProgram) {
  struct Case {
    const char* what;
    std::deque<std::string> replies;
    bool local;
    std::size_t tries;
    std::uint64_t waitedMs;  // the pauses, and one more before the local copy is used
  } cases[] = {
      {"a page without [盒子], local copy", {"<html>portal</html>"}, true, 1, 1000},
      {"a page without [盒子], nothing local", {"<html>portal</html>"}, false, 1, 0},
      {"[盒子 is not the line", {"[盒子 ]\r\n[Qovra·x]"}, true, 1, 1000},
      {"silence, local copy", {}, true, 3, 4000},
      {"silence, nothing local", {}, false, 3, 3000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform::deleteFile(offlineCopy());
    if (c.local) { ASSERT_TRUE(platform::writeFile(offlineCopy(), gbk(kLocalConfig))); }
    replies_ = c.replies;
    fetches_.clear();
    endedWith_.reset();
    toolkit_.setText(toolkit_.find(window_, "标签1"), ui::Prop::Caption, "");
    const std::size_t shown = toolkit_.messageBoxes().size();
    if (!c.local) toolkit_.answerMessageBox(ui::kAnswerOk);
    const std::uint64_t start = toolkit_.nowMs();

    const ObtainedConfig config = obtainBoxConfig(window_);

    EXPECT_EQ(fetches_.size(), c.tries);
    EXPECT_EQ(toolkit_.nowMs() - start, c.waitedMs);
    EXPECT_FALSE(config.fetched);
    if (c.local) {
      EXPECT_EQ(config.text, kLocalConfig);
      EXPECT_FALSE(config.programEnded);
      EXPECT_FALSE(endedWith_);
      EXPECT_EQ(loadingText(), "访问远程配置文件失败！盒子将加载历史配置（离线模式）！");
      EXPECT_EQ(toolkit_.messageBoxes().size(), shown);
    } else {
      EXPECT_TRUE(config.programEnded);
      EXPECT_EQ(endedWith_, 1);
      ASSERT_EQ(toolkit_.messageBoxes().size(), shown + 1);
      EXPECT_EQ(toolkit_.messageBoxes().back().text,
                "访问远程配置文件失败（而且也没有本地离线配置文件）！请检查本软件是否被拦截网络访问！请添加信任，然后重新"
                "运行本软件！或咨询Qovra");
    }
  }
}

TEST_F(BoxConfigTest, TheOfflineCopyIsHiddenAndLosesTheDownloadSource) {
  struct Case {
    std::string source;
    std::string config;
    std::string saved;
  } cases[] = {
      {"src1", kValidConfig, "[盒子]\r\n\r\n[Qovra·记事本]\r\n最新版本=1.2\r\n"},
      {"src1", "[盒子]\r\n下载源=src1tail\r\n[a]\r\nx=下载源=src1\r\n", "[盒子]\r\ntail\r\n[a]\r\nx=\r\n"},
      {"other", "[盒子]\r\n下载源=src1\r\n", "[盒子]\r\n下载源=src1\r\n"},
      {"", "[盒子]\r\n下载源=\r\n[b]\r\n", "[盒子]\r\n\r\n[b]\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.config);
    catalogueState().downloadSource = c.source;
    saveOfflineCopy(c.config);
    EXPECT_EQ(platform::readFile(offlineCopy()), gbk(c.saved));
    EXPECT_TRUE(hiddenAndWritable(offlineCopy()));
  }
}

TEST_F(BoxConfigTest, AHiddenOrReadOnlyCopyIsStillReplaced) {
  for (unsigned attributes : {0u + platform::kAttrHidden, 0u + (platform::kAttrReadOnly | platform::kAttrHidden)}) {
    ASSERT_TRUE(platform::writeFile(offlineCopy(), "old"));
    ASSERT_TRUE(platform::setFileAttributes(offlineCopy(), attributes));
    saveOfflineCopy("[盒子]\r\nnew\r\n");
    EXPECT_EQ(platform::readFile(offlineCopy()), gbk("[盒子]\r\nnew\r\n")) << attributes;
    EXPECT_TRUE(hiddenAndWritable(offlineCopy())) << attributes;
  }
}

TEST_F(BoxConfigTest, ABrandedBoxKeepsItsCopyUnderItsOwnName) {
  catalogueState().brandName = "星火";
  saveOfflineCopy(kLocalConfig);
  EXPECT_TRUE(platform::pathExists(path("星火·软件列表.ini")));
  EXPECT_FALSE(platform::pathExists(path("Qovra·软件列表.ini")));
}

TEST_F(BoxConfigTest, ALargeReplyAndAGarbledOneAreTakenWholeAndReadBackOffline) {
  std::string large = "[盒子]\r\n";
  for (int i = 0; large.size() < 10u << 20; ++i) large += "[Qovra·软件" + std::to_string(i) + "]\r\n最新版本=1.0." + std::to_string(i) + "\r\n";
  std::string garbled = "[盒子]\r\n\x01\x02]]][[==\r\n乱码\x7f[Qovra·\r\n=\r\n" + std::string(5000, '#');
  for (const std::string& reply : {large, garbled}) {
    SCOPED_TRACE(reply.size());
    processState().offlineMode = false;
    replies_ = {reply};
    const ObtainedConfig fetched = obtainBoxConfig(window_);
    ASSERT_TRUE(fetched.fetched);
    EXPECT_EQ(fetched.text.size(), reply.size());
    EXPECT_TRUE(fetched.text == reply);
    saveOfflineCopy(fetched.text);

    processState().offlineMode = true;
    const ObtainedConfig offline = obtainBoxConfig(window_);
    EXPECT_FALSE(offline.fetched);
    EXPECT_TRUE(offline.text == reply);
  }
}

TEST_F(BoxConfigTest, WaitingCountsTenMillisecondStepsAndStopsOnTheFlag) {
  struct Case {
    int ms;
    int stopAfter;  // steps before the flag is raised; -1 never
    int steps;
  } cases[] = {{1000, -1, 100}, {15, -1, 2}, {10, -1, 1}, {0, -1, 0}, {-5, -1, 0}, {1000, 5, 5}, {1000, 0, 0}};
  for (const auto& c : cases) {
    sleeps_ = 0;
    int flag = 0;
    auto& services = boxConfigServices();
    services.sleep = [&](std::uint32_t ms) {
      EXPECT_EQ(ms, 10u);
      if (++sleeps_ == c.stopAfter) flag = 1;
    };
    if (c.stopAfter == 0) flag = 1;
    waitWithEvents(c.ms, [&] { return flag != 0; });
    EXPECT_EQ(sleeps_, c.steps) << c.ms << " " << c.stopAfter;
  }
}

TEST_F(BoxConfigTest, WaitingRunsPendingMessagesAfterEveryStep) {
  int ran = 0;
  boxConfigServices().sleep = [&](std::uint32_t) { toolkit_.post([&] { ++ran; }); };
  waitWithEvents(30);
  EXPECT_EQ(ran, 3);
}

TEST_F(BoxConfigTest, TextFilesAreGbkOnDiskAndEndAtTheirFirstZeroByte) {
  struct Case {
    const char* what;
    std::optional<std::string> bytes;
    std::string text;
  } cases[] = {
      {"missing", std::nullopt, "default"},
      {"empty", "", "default"},
      {"GBK", "\xd0\xc7\xbb\xf0\r\n", "星火\r\n"},
      {"zero byte", std::string("abc\0def", 7), "abc"},
      {"zero first", std::string("\0abc", 4), ""},
  };
  for (const auto& c : cases) {
    platform::deleteFile(path("t.txt"));
    if (c.bytes) { ASSERT_TRUE(platform::writeFile(path("t.txt"), *c.bytes)); }
    EXPECT_EQ(readTextFile(path("t.txt"), "default"), c.text) << c.what;
  }

  platform::deleteFile(path("t.txt"));
  EXPECT_TRUE(writeTextFile(path("t.txt"), "星", true)) << "append to a missing file creates it";
  EXPECT_TRUE(writeTextFile(path("t.txt"), "火\r\n", true));
  EXPECT_EQ(platform::readFile(path("t.txt")), "\xd0\xc7\xbb\xf0\r\n");
  EXPECT_TRUE(writeTextFile(path("t.txt"), "new"));
  EXPECT_EQ(platform::readFile(path("t.txt")), "new");
  EXPECT_FALSE(writeTextFile(path("no-such-folder\\t.txt"), "x"));
}

}  // namespace
}  // namespace qovra
