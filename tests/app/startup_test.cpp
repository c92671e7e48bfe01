#include <gtest/gtest.h>

#include <map>

#include "app/box.h"
#include "support/shortcuts.h"
#include "app/startable_box.h"
#include "catalogue/catalogue.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/scratch_folder.h"
#include "platform/shell.h"
#include "support/process_state.h"

namespace qovra {
namespace {

// A shell that keeps shortcut files in memory and records what it was asked.
class FakeShell : public platform::Shell {
 public:
  bool open(const std::string&, const std::string&) override { return true; }
  bool openInExplorer(const std::string&) override { return true; }
  std::string specialFolderPath(int code) override { return code == 0 ? "C:\\Desktop\\" : ""; }
  std::string readShortcutTarget(const std::string& path) override {
    reads.push_back(path);
    auto found = files.find(path);
    return found == files.end() ? "" : found->second.target;
  }
  bool writeShortcut(const std::string& path, const platform::ShortcutProperties& properties) override {
    writes.push_back(path);
    files[path] = properties;
    return true;
  }

  std::map<std::string, platform::ShortcutProperties> files;
  std::vector<std::string> reads, writes;
};

class StartUpTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::setShell(&shell_);
    auto& state = processState();
    state = ProcessState{};
    state.runDirectory = "C:\\Box";
    state.executableName = "QovraBox.exe";
  }
  void TearDown() override {
    app::exitCleanup();
    platform::setShell(nullptr);
  }

  const std::string offlineShortcut_ = "C:\\Box\\离线模式启动盒子.lnk";
  FakeShell shell_;
};

TEST_F(StartUpTest, TheOfflineSwitchSkipsTheShortcutCheck) {
  app::readCommandLine({"lxms"});
  app::checkOfflineShortcut();
  EXPECT_TRUE(processState().offlineMode);
  EXPECT_EQ(processState().pendingDeletePath, "");
  EXPECT_TRUE(shell_.reads.empty());
  EXPECT_TRUE(shell_.writes.empty());
}

TEST_F(StartUpTest, TheSwitchIsCaseSensitiveAndOnlyTheFirstArgumentCounts) {
  struct Case {
    std::vector<std::string> arguments;
    bool offline;
    std::string pendingDelete;
  } cases[] = {
      {{}, false, ""},
      {{""}, false, ""},
      {{"LXMS"}, false, "LXMS"},
      {{"C:\\old\\QovraBox.exe", "lxms"}, false, "C:\\old\\QovraBox.exe"},
      {{"lxms", "C:\\x"}, true, ""},
  };
  for (const auto& c : cases) {
    app::readCommandLine(c.arguments);
    EXPECT_EQ(processState().offlineMode, c.offline) << testing::PrintToString(c.arguments);
    EXPECT_EQ(processState().pendingDeletePath, c.pendingDelete) << testing::PrintToString(c.arguments);
  }
}

TEST_F(StartUpTest, AMissingOfflineShortcutIsCreatedWithTheSwitch) {
  app::readCommandLine({"LXMS"});
  app::checkOfflineShortcut();
  ASSERT_EQ(shell_.reads, std::vector<std::string>{offlineShortcut_});
  ASSERT_EQ(shell_.writes, std::vector<std::string>{offlineShortcut_});
  const auto& written = shell_.files[offlineShortcut_];
  EXPECT_EQ(written.target, "C:\\Box\\QovraBox.exe");
  EXPECT_EQ(written.arguments, "lxms");
  EXPECT_FALSE(written.workingDirectory || written.description || written.iconLocation || written.hotKey ||
               written.windowStyle);
}

TEST_F(StartUpTest, AShortcutToAMovedOrRenamedProgramIsRewritten) {
  for (const char* stale : {"D:\\Old\\QovraBox.exe", "C:\\Box\\Box.exe", "c:\\box\\qovrabox.exe"}) {
    shell_.files[offlineShortcut_].target = stale;
    shell_.writes.clear();
    app::checkOfflineShortcut();
    EXPECT_EQ(shell_.writes.size(), 1u) << stale;
    EXPECT_EQ(shell_.files[offlineShortcut_].target, "C:\\Box\\QovraBox.exe");
  }
}

TEST_F(StartUpTest, ACurrentShortcutIsLeftAlone) {
  shell_.files[offlineShortcut_].target = "C:\\Box\\QovraBox.exe";
  app::checkOfflineShortcut();
  EXPECT_TRUE(shell_.writes.empty());
}

TEST_F(StartUpTest, TheMainWindowOpensAndClosingItEndsTheProgram) {
  ui::HeadlessToolkit toolkit;
  ui::setToolkit(&toolkit);
  processState().runDirectory = platform::scratchFolder();
  makeStartable(processState().runDirectory, "Qovra·软件盒子");
  const ui::ControlId window = app::startUp({"lxms"});
  EXPECT_EQ(processState().programTitle, "Qovra·软件盒子");
  // Shown, the window is active, and its first activation built the catalogue.
  ASSERT_EQ(catalogueState().rows.size(), 1u);
  EXPECT_EQ(catalogueState().rows[0].entry.name, "Qovra·演示");
  EXPECT_TRUE(catalogueState().catalogueReady);
  EXPECT_TRUE(toolkit.getInt(window, ui::Prop::Visible));
  EXPECT_EQ(toolkit.getInt(window, ui::Prop::Left), 50);
  EXPECT_EQ(toolkit.getInt(window, ui::Prop::Width), 964);
  EXPECT_EQ(toolkit.getInt(window, ui::Prop::Height), 700);
  EXPECT_NE(toolkit.find(window, "图片框容器"), 0);

  EXPECT_TRUE(toolkit.closeWindow(window));
  EXPECT_EQ(toolkit.runMessageLoop(), 0);
  app::exitCleanup();
  EXPECT_TRUE(catalogueState().rows.empty());
  EXPECT_EQ(processState().programTitle, "");
  EXPECT_FALSE(processState().offlineMode);
  EXPECT_EQ(toolkit.problems(), std::vector<std::string>{});
  ui::setToolkit(nullptr);
}

TEST(Shortcuts, LnkIsAppendedUnlessThePathEndsInItInAnyCase) {
  FakeShell shell;
  platform::setShell(&shell);
  createShortcut("C:\\a\\x.LNK", "C:\\t.exe");
  createShortcut("C:\\a\\x.lnk.bak", "C:\\t.exe");
  createShortcut("C:\\a\\x", "C:\\t.exe");
  platform::setShell(nullptr);
  EXPECT_EQ(shell.writes, (std::vector<std::string>{"C:\\a\\x.LNK", "C:\\a\\x.lnk.bak.lnk", "C:\\a\\x.lnk"}));
}

TEST(Shortcuts, ATargetIsOnlyReadFromPathsContainingLnk) {
  FakeShell shell;
  platform::setShell(&shell);
  shell.files["C:\\a.lnk\\b"].target = "C:\\t.exe";
  EXPECT_EQ(readShortcutTarget("C:\\a.LNK"), "");
  EXPECT_EQ(readShortcutTarget("C:\\a.lnk\\b"), "C:\\t.exe");
  platform::setShell(nullptr);
  EXPECT_EQ(shell.reads, std::vector<std::string>{"C:\\a.lnk\\b"});
}

}  // namespace
}  // namespace qovra
