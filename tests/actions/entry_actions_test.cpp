// Row gestures and what they lead to: running a program with its usage count, its folder,
// its homepage, a desktop shortcut, and the action that waits for a download.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/entry_actions.h"
#include "platform/recording_shell.h"
#include "support/shortcuts.h"
#include "window/main_window_fixture.h"

namespace qovra {
namespace {

using platform::RecordingShell;
using ui::EventKind;
using ui::Prop;

class EntryActionsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    shell_ = std::make_unique<RecordingShell>(runDirectory + "\\home", runDirectory + "\\tmp");
    platform::setShell(shell_.get());
    platform::createFolder(specialFolderPath(0));
    pendingAction() = {};
    downloadButtonAction() = [this](int row) { downloads.push_back(row); };
    window = tk.loadForm(mainWindowForm(), [](ui::Event& event) {
      if (event.kind == EventKind::Created)
        prepareMainWindow(event.control, BrandingProfile{});
      else if (!handleRowGesture(event))
        handleListAreaEvent(event);
    });
    tk.setInt(window, Prop::Visible, 1);
    SoftwareEntry noHomepage = entry("Qovra·乙", "1.0", "1.0");
    noHomepage.homepage.clear();
    SoftwareEntry installed = entry("Qovra·甲", "1.0", "1.0");
    installed.homepage = "http://h.example/甲";
    buildRows({installed, noHomepage, entry("Qovra·丙")});
  }
  void TearDown() override {
    platform::setShell(nullptr);
    downloadButtonAction() = nullptr;
    pendingAction() = {};
    MainWindowTest::TearDown();
  }

  const CatalogueRow& row(int i) const { return catalogueState().rows[static_cast<std::size_t>(i - 1)]; }
  std::string program(const std::string& name) const { return programFile(runDirectory, name); }
  std::string desktopShortcut(const std::string& name) const { return specialFolderPath(0) + name + ".lnk"; }
  std::vector<RecordingShell::Call> calls() const { return shell_->calls(); }

  // A press or release on a row control, as the toolkit reports it.
  void gesture(ui::ControlId target, EventKind kind, int button, int keys) {
    tk.setInt(control("树型框"), Prop::Visible, 1);
    if (kind == EventKind::MouseDown)
      ASSERT_TRUE(tk.mouseDown(target, button, keys));
    else
      ASSERT_TRUE(tk.mouseUp(target, button, keys));
  }

  std::unique_ptr<RecordingShell> shell_;
  std::vector<int> downloads;
};

TEST_F(EntryActionsTest, TheGestureTableOnNamesAndIcons) {
  const std::string homepage = "http://h.example/甲";
  const RecordingShell::Call run{"open", program("Qovra·甲"), ""};
  const RecordingShell::Call locate{"explorer", program("Qovra·甲"), ""};
  const RecordingShell::Call home{"open", homepage, ""};
  struct Case {
    const char* what;
    bool onIcon;
    EventKind kind;
    int button, keys;
    std::vector<RecordingShell::Call> expected;
    bool shortcut;
  };
  const Case cases[] = {
      {"name, plain click", false, EventKind::MouseDown, ui::kLeftButton, 0, {run}, false},
      {"name, Ctrl", false, EventKind::MouseDown, ui::kLeftButton, ui::kCtrl, {home}, false},
      {"name, Ctrl+Shift", false, EventKind::MouseDown, ui::kLeftButton, ui::kCtrl | ui::kShift, {run}, false},
      {"name, Shift", false, EventKind::MouseDown, ui::kLeftButton, ui::kShift, {run}, false},
      {"name, Alt", false, EventKind::MouseDown, ui::kLeftButton, ui::kAlt, {}, true},
      {"name, right release", false, EventKind::MouseUp, ui::kRightButton, ui::kCtrl, {locate}, false},
      {"name, right press", false, EventKind::MouseDown, ui::kRightButton, 0, {}, false},
      {"icon, plain click", true, EventKind::MouseDown, ui::kLeftButton, 0, {run}, false},
      {"icon, Ctrl", true, EventKind::MouseDown, ui::kLeftButton, ui::kCtrl, {home}, false},
      {"icon, Alt", true, EventKind::MouseDown, ui::kLeftButton, ui::kAlt, {run}, false},
      {"icon, right press", true, EventKind::MouseDown, ui::kRightButton, 0, {locate}, false},
      {"icon, left release", true, EventKind::MouseUp, ui::kLeftButton, 0, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t before = calls().size();
    platform::deleteFile(desktopShortcut("Qovra·甲"));
    gesture(c.onIcon ? row(1).iconBox : row(1).nameLabel, c.kind, c.button, c.keys);
    const auto all = calls();
    const std::vector<RecordingShell::Call> made(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    EXPECT_EQ(made, c.expected);
    EXPECT_EQ(readShortcutTarget(desktopShortcut("Qovra·甲")), c.shortcut ? program("Qovra·甲") : "");
    const bool acted = !c.expected.empty() || c.shortcut;
    EXPECT_EQ(get(control("树型框"), Prop::Visible), acted ? 0 : 1) << "the result list hides after a gesture";
  }
  EXPECT_TRUE(tk.messageBoxes().empty());
}

TEST_F(EntryActionsTest, EachRunCountsOnceInTheIniAndStartsTheUsageOrderTimer) {
  auto& ini = settings::programSettings();
  for (int run = 1; run <= 3; ++run) {
    actOnEntry(2);
    EXPECT_EQ(row(2).entry.usageCount, run);
    EXPECT_EQ(ini.readEntry(settings::kUsageCountSection, "Qovra·乙"), std::to_string(run));
  }
  EXPECT_EQ(catalogueState().lastRunName, "Qovra·乙");
  EXPECT_EQ(get(control("时钟更新使用顺序"), Prop::TimerPeriod), 500);
  EXPECT_EQ(calls().size(), 3u);
}

TEST_F(EntryActionsTest, ARunWhoseMessagesRebuildTheRowsStillCountsTheEntry) {
  tk.post([this] {
    clearCatalogue();
    buildRows({entry("Qovra·乙", "1.0", "1.0")});
  });
  actOnEntry(2);
  ASSERT_EQ(catalogueState().rows.size(), 1u);
  EXPECT_EQ(row(1).entry.usageCount, 1);
  EXPECT_EQ(settings::programSettings().readEntry(settings::kUsageCountSection, "Qovra·乙"), "1");
}

TEST_F(EntryActionsTest, AProgramNotDownloadedIsDownloadedAndTheActionWaitsForItsInstallation) {
  tk.answerMessageBox(ui::kAnswerOk);
  gesture(row(3).nameLabel, EventKind::MouseDown, ui::kLeftButton, ui::kAlt);
  ASSERT_EQ(tk.messageBoxes().size(), 1u);
  EXPECT_EQ(tk.messageBoxes()[0].text, "《Qovra·丙》还没下载呢！确定后将自动下载。。");
  EXPECT_EQ(downloads, std::vector<int>{3});
  EXPECT_EQ(pendingAction().entry, 3);
  EXPECT_TRUE(pendingAction().shortcut);
  EXPECT_TRUE(calls().empty());

  // A newer wish replaces the older one.
  tk.answerMessageBox(ui::kAnswerOk);
  gesture(row(3).iconBox, EventKind::MouseDown, ui::kRightButton, 0);
  EXPECT_TRUE(pendingAction().locate);

  runPendingAction(2);  // another row's installation leaves it waiting
  EXPECT_EQ(pendingAction().entry, 3);
  catalogueState().rows[2].entry.versionState = kCurrent;
  runPendingAction(3);
  EXPECT_EQ(pendingAction().entry, 0);
  EXPECT_EQ(calls(), (std::vector<RecordingShell::Call>{{"explorer", program("Qovra·丙"), ""}}));
}

TEST_F(EntryActionsTest, FromTheSearchResultsTheListJumpsToTheRowToBeDownloaded) {
  clearCatalogue();
  std::vector<SoftwareEntry> many;
  for (int i = 1; i <= 40; ++i) many.push_back(entry("Qovra·程序" + std::to_string(i)));
  buildRows(many);
  catalogueState().scrollToActedRow = true;
  tk.answerMessageBox(ui::kAnswerOk);
  actOnEntry(30);
  EXPECT_EQ(get(control("纵向滚动条"), Prop::Position), 30 * 100 / 40);
  EXPECT_EQ(downloads, std::vector<int>{30});
}

TEST_F(EntryActionsTest, AHomepageMissingIsSaidWithTheBrandName) {
  tk.answerMessageBox(ui::kAnswerOk);
  openHomepage(2);
  ASSERT_EQ(tk.messageBoxes().size(), 1u);
  EXPECT_EQ(tk.messageBoxes()[0].text, "《Qovra·乙》暂无主页！详情可咨询Qovra");
  EXPECT_TRUE(calls().empty());
}

TEST_F(EntryActionsTest, RowNumbersThatNameNoRowDoNothing) {
  for (int rowNumber : {0, -1, 4, 1000}) {
    actOnEntry(rowNumber);
    performEntryAction(rowNumber, false, false);
    openHomepage(rowNumber);
  }
  EXPECT_TRUE(calls().empty());
  EXPECT_TRUE(tk.messageBoxes().empty());
  EXPECT_TRUE(downloads.empty());
}

}  // namespace
}  // namespace qovra
