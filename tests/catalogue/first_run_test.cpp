#include "catalogue/first_run.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/scratch_run_directory.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/lnk_file.h"
#include "platform/recording_shell.h"
#include "settings/program_settings.h"
#include "support/process_state.h"

namespace qovra {
namespace {

std::string expectedQuestion(const std::string& brandName) {
  return "是否在桌面创建本盒子的快捷方式文件？（本提示仅出现一次）\r\n\r\n点【是】将创建 2 个快捷方式文件：‘" + brandName +
         "·软件盒子.lnk’和‘离线模式启动盒子.lnk’\r\n\r\n关于离线模式使用盒子，具体请参考盒子目录下的‘如何让盒子使用离线模式"
         ".txt’\r\n\r\n点击【否】，后续你也可以自己创建快捷方式";
}

class FirstRunTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratchRunDirectory();
    desktop_ = folder_ + "\\home\\Desktop";
    ASSERT_TRUE(platform::createFolder(desktop_));
    ui::setToolkit(&toolkit_);
    auto& state = processState();
    state = ProcessState{};
    state.runDirectory = folder_;
    state.executableName = "QovraBox.exe";
    state.programTitle = "Qovra·软件盒子";
    ASSERT_TRUE(settings::bindProgramSettings());
    shell_.emplace(folder_ + "\\home", folder_ + "\\temp");
    platform::setShell(&*shell_);
    catalogueState() = CatalogueState{};
  }
  void TearDown() override {
    settings::releaseProgramSettings();
    platform::setShell(nullptr);
    ui::setToolkit(nullptr);
    catalogueState() = CatalogueState{};
    processState() = ProcessState{};
    EXPECT_TRUE(toolkit_.problems().empty());
  }

  std::string iniText() const {
    return platform::toUtf8(platform::readFile(folder_ + "\\Qovra·软件盒子.ini").value_or(""), platform::Charset::Gbk);
  }
  std::optional<platform::ShellLink> desktopLink(const std::string& name) const {
    const auto bytes = platform::readFile(desktop_ + "\\" + name);
    if (!bytes) return std::nullopt;
    return platform::readShellLink(*bytes);
  }

  std::string folder_, desktop_;
  ui::HeadlessToolkit toolkit_;
  std::optional<platform::RecordingShell> shell_;
};

TEST_F(FirstRunTest, TheAnswerDecidesTheShortcutsAndTheKeyIsWrittenEitherWay) {
  struct Case {
    std::string brandName;
    int answer;
    bool created;
  } cases[] = {{"Qovra", ui::kAnswerYes, true}, {"星火", ui::kAnswerYes, true}, {"Qovra", ui::kAnswerNo, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.brandName + (c.created ? " yes" : " no"));
    settings::programSettings().setText("");
    platform::deleteTree(desktop_);
    platform::createFolder(desktop_);
    catalogueState().brandName = c.brandName;
    const std::size_t asked = toolkit_.messageBoxes().size();
    toolkit_.answerMessageBox(c.answer);

    askForDesktopShortcuts(42);

    ASSERT_EQ(toolkit_.messageBoxes().size(), asked + 1);
    const auto& box = toolkit_.messageBoxes().back();
    EXPECT_EQ(box.owner, 42);
    EXPECT_EQ(box.text, expectedQuestion(c.brandName));
    EXPECT_EQ(box.title, "信息：");
    EXPECT_EQ(box.style, ui::kYesNo);
    EXPECT_NE(iniText().find("[基本配置]\r\n非首次使用=真"), std::string::npos) << iniText();

    const auto offline = desktopLink("离线模式启动盒子.lnk");
    const auto normal = desktopLink(c.brandName + "·软件盒子.lnk");
    if (!c.created) {
      EXPECT_TRUE(platform::listFolder(desktop_).empty());
      continue;
    }
    ASSERT_TRUE(offline && normal);
    EXPECT_EQ(platform::listFolder(desktop_).size(), 2u);
    const std::string executable = folder_ + "\\QovraBox.exe";
    EXPECT_EQ(offline->target, executable);
    EXPECT_EQ(offline->arguments, "lxms");
    EXPECT_EQ(normal->target, executable);
    EXPECT_EQ(normal->arguments, "");
    EXPECT_EQ(normal->workingDirectory + normal->description + normal->iconPath, "");
  }
}

TEST_F(FirstRunTest, OnlyTheFirstBuildAsks) {
  toolkit_.answerMessageBox(ui::kAnswerNo);
  askForDesktopShortcuts();
  askForDesktopShortcuts();
  EXPECT_EQ(toolkit_.messageBoxes().size(), 1u);

  // A box whose ini already says so, from an earlier run, asks nothing at all.
  settings::programSettings().setText("[基本配置]\r\n非首次使用=真\r\n");
  askForDesktopShortcuts();
  EXPECT_EQ(toolkit_.messageBoxes().size(), 1u);
  EXPECT_TRUE(platform::listFolder(desktop_).empty());
}

TEST_F(FirstRunTest, AnyOtherStoredWordStillAsks) {
  settings::programSettings().setText("[基本配置]\r\n非首次使用=true\r\n");
  toolkit_.answerMessageBox(ui::kAnswerNo);
  askForDesktopShortcuts();
  EXPECT_EQ(toolkit_.messageBoxes().size(), 1u);
}

TEST_F(FirstRunTest, WithoutADesktopFolderYesCreatesNothing) {
  platform::RecordingShell noHome{"", ""};
  platform::setShell(&noHome);
  toolkit_.answerMessageBox(ui::kAnswerYes);
  askForDesktopShortcuts();
  EXPECT_EQ(toolkit_.messageBoxes().size(), 1u);
  for (const std::string& name : platform::listFolder(folder_))
    EXPECT_EQ(name.find(".lnk"), std::string::npos) << name;
}

}  // namespace
}  // namespace qovra
