// The box from start-up on, against the demo configuration server that ctest starts
// around this suite (fixture "demo_server"), over the box's real request path: the
// configuration fetched and kept offline, rows in usage order, a run counted and its row
// moved half a second later, and "检测更新" building fresh rows.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/box.h"
#include "catalogue/box_config.h"
#include "catalogue/catalogue.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/recording_shell.h"
#include "platform/scratch_folder.h"
#include "settings/program_settings.h"
#include "support/process_state.h"

namespace qovra {
namespace {

using ui::Prop;

class EndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string port = readTextFile(std::string(QOVRA_BINARY_DIR) + "\\test-servers\\demo.port");
    ASSERT_FALSE(port.empty()) << "the demo server is not running: run this suite through ctest";
    folder_ = platform::scratchFolder();
    shell_ = std::make_unique<platform::RecordingShell>(folder_ + "\\home", folder_ + "\\tmp");
    platform::setShell(shell_.get());
    ui::setToolkit(&toolkit_);
    auto& process = processState();
    process = ProcessState{};
    process.runDirectory = folder_;
    process.executableName = "QovraBox.exe";
    restoreBoxConfigServices();
    boxConfigServices().configHost = "127.0.0.1:" + port;
    // The calculator is installed: a fixture program with version 2.3.4.5.
    const std::string calculator = "Qovra·计算器";
    platform::createFolder(programFolder(folder_, calculator));
    const auto program = platform::readFile(std::string(QOVRA_BINARY_DIR) + "\\fixtures\\ver_cn.exe");
    ASSERT_TRUE(program);
    ASSERT_TRUE(platform::writeFile(programFile(folder_, calculator), *program));
    // Earlier runs of the notepad.
    ASSERT_TRUE(platform::writeFile(folder_ + "\\Qovra·软件盒子.ini",
                                    platform::fromUtf8("[软件排序_使用次数]\r\nQovra·记事本=1", platform::Charset::Gbk)));
  }
  void TearDown() override {
    app::exitCleanup();
    restoreBoxConfigServices();
    platform::setShell(nullptr);
    ui::setToolkit(nullptr);
    processState() = ProcessState{};
  }

  std::vector<std::string> rowNames() const {
    std::vector<std::string> names;
    for (const auto& row : catalogueState().rows) names.push_back(row.entry.name);
    return names;
  }

  std::string folder_;
  ui::HeadlessToolkit toolkit_;
  std::unique_ptr<platform::RecordingShell> shell_;
};

TEST_F(EndToEndTest, StartRunAndCheckForUpdates) {
  toolkit_.answerMessageBox(ui::kAnswerNo);  // the first-run question
  const ui::ControlId window = app::startUp({});
  ASSERT_NE(window, 0);
  EXPECT_EQ(toolkit_.unansweredMessageBoxes(), 0u);

  // Fetched, kept as a hidden offline copy without its download source.
  const std::string copyPath = folder_ + "\\Qovra·软件列表.ini";
  const std::string copy = readTextFile(copyPath);
  EXPECT_NE(copy.find("[Qovra·记事本]"), std::string::npos);
  EXPECT_EQ(copy.find("下载源="), std::string::npos);
  EXPECT_TRUE(*platform::fileAttributes(copyPath) & platform::kAttrHidden);
  EXPECT_EQ(catalogueState().downloadSource, "demo-source");

  // The notepad's earlier run puts it first; the rest keep the configuration's order.
  const std::vector<std::string> initial = {"Qovra·记事本", "Qovra·计算器", "Qovra·截图工具", "Qovra·小游戏",
                                            "Qovra·在线工具"};
  EXPECT_EQ(rowNames(), initial);
  const CatalogueRow& calculator = catalogueState().rows[1];
  EXPECT_EQ(calculator.entry.versionState, kCurrent) << "2.3.4.5 installed, 2.0.1.0 listed";
  EXPECT_EQ(settings::programSettings().readEntry("使用版本", "Qovra·计算器"), "2.3.4.5");

  // Two runs of the calculator: counted at once, the row moves up half a second later.
  for (int run = 0; run < 2; ++run) ASSERT_TRUE(toolkit_.mouseDown(catalogueState().rows[1].nameLabel, ui::kLeftButton));
  EXPECT_EQ(settings::programSettings().readEntry("软件排序_使用次数", "Qovra·计算器"), "2");
  ASSERT_EQ(shell_->calls().size(), 2u);
  EXPECT_EQ(shell_->calls()[0].target, programFile(folder_, "Qovra·计算器"));
  EXPECT_EQ(rowNames(), initial);
  toolkit_.advanceTime(500);
  EXPECT_EQ(rowNames()[0], "Qovra·计算器");
  EXPECT_EQ(toolkit_.getText(catalogueState().rows[0].nameLabel, Prop::Tag), "1");

  // "检测更新": fresh rows from a new fetch, in the saved usage order.
  const ui::ControlId oldLabel = catalogueState().rows[0].nameLabel;
  ASSERT_TRUE(toolkit_.click(toolkit_.find(window, "按钮更新配置")));
  EXPECT_EQ(rowNames()[0], "Qovra·计算器");
  EXPECT_EQ(rowNames().size(), initial.size());
  EXPECT_NE(catalogueState().rows[0].nameLabel, oldLabel);
  EXPECT_TRUE(catalogueState().catalogueReady);
  EXPECT_EQ(toolkit_.problems(), std::vector<std::string>{});
}

}  // namespace
}  // namespace qovra
