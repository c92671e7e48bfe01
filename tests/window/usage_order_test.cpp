// The usage order: a full sort at build time, a single entry moving up after a run, the
// layout that follows every sort, and the view following an entry the user picked from
// the search results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/main_window_fixture.h"
#include "window/usage_order.h"

namespace qovra {
namespace {

using ui::Prop;

class UsageOrderTest : public MainWindowTest {
 protected:
  // Rows for entries with these usage counts, in configuration order (positions 1..n).
  void rowsWithCounts(const std::vector<int>& counts) {
    if (window == 0) openWithUsageTimer();
    clearCatalogue();
    std::vector<SoftwareEntry> entries;
    for (std::size_t i = 0; i < counts.size(); ++i) {
      SoftwareEntry e = entry("Qovra·程序" + std::to_string(i + 1));
      e.usageCount = counts[i];
      e.position = static_cast<int>(i + 1);
      entries.push_back(e);
    }
    buildRows(entries);
  }
  // The main window as the box dispatches its events: the usage-order timer, then the list
  // area.
  void openWithUsageTimer() {
    window = tk.loadForm(mainWindowForm(), [](ui::Event& event) {
      if (event.kind == ui::EventKind::Created)
        prepareMainWindow(event.control, BrandingProfile{});
      else if (!handleUsageOrderTimer(event))
        handleListAreaEvent(event);
    });
    tk.setInt(window, Prop::Visible, 1);
  }
  std::vector<int> positions() const {
    std::vector<int> result;
    for (const auto& row : catalogueState().rows) result.push_back(row.entry.position);
    return result;
  }
  // Every control of every row carries its row number and stands at its row's place.
  void expectPlacedInOrder() const {
    const auto& rows = catalogueState().rows;
    const auto labelTop = get(control("控件名称"), Prop::Top);
    const auto pitch = get(control("控件名称"), Prop::Height);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::string tag = std::to_string(i + 1);
      for (ui::ControlId c : {rows[i].iconBox, rows[i].nameLabel, rows[i].downloadButton, rows[i].deleteButton,
                              rows[i].tutorialButton}) {
        EXPECT_EQ(text(c, Prop::Tag), tag) << rows[i].entry.name;
        EXPECT_EQ(get(c, Prop::Visible), 1);
      }
      EXPECT_EQ(get(rows[i].nameLabel, Prop::Top), labelTop + static_cast<std::int64_t>(i) * pitch);
    }
  }
};

TEST(EntryPrecedesTest, MoreRunsFirstThenConfigurationOrder) {
  struct Case { int countA, positionA, countB, positionB; bool precedes; };
  for (const Case c : {Case{5, 4, 3, 1, true}, Case{3, 1, 5, 4, false}, Case{3, 2, 3, 3, true},
                       Case{3, 3, 3, 2, false}, Case{0, 1, 0, 1, false}}) {
    SoftwareEntry a, b;
    a.usageCount = c.countA, a.position = c.positionA;
    b.usageCount = c.countB, b.position = c.positionB;
    EXPECT_EQ(entryPrecedes(a, b), c.precedes) << c.countA << "/" << c.positionA << " vs " << c.countB << "/" << c.positionB;
  }
}

TEST_F(UsageOrderTest, FullSortIsStableByCountThenPosition) {
  struct Case { std::vector<int> counts; std::vector<int> order; };
  for (const Case& c : {Case{{0, 3, 3, 5}, {4, 2, 3, 1}}, Case{{0, 0, 0}, {1, 2, 3}},
                        Case{{1, 2, 3, 4, 5}, {5, 4, 3, 2, 1}}, Case{{2, 0, 2, 0, 2}, {1, 3, 5, 2, 4}}}) {
    rowsWithCounts(c.counts);
    sortAndLayout("");
    EXPECT_EQ(positions(), c.order);
    expectPlacedInOrder();
    EXPECT_EQ(get(control("时钟更新图片组"), Prop::TimerPeriod), 500);
    EXPECT_FALSE(catalogueState().layoutBusy);
  }
}

TEST_F(UsageOrderTest, ARunEntryMovesUpPastTheRowsItNowPrecedesOnly) {
  rowsWithCounts({9, 4, 3, 2, 5, 1});
  sortAndLayout("Qovra·程序5");
  EXPECT_EQ(positions(), (std::vector<int>{1, 5, 2, 3, 4, 6}));
  expectPlacedInOrder();
}

TEST_F(UsageOrderTest, ANamedSortMovesNothingElseAndNeverDown) {
  rowsWithCounts({1, 5, 0});  // out of order, as after runs during a download
  sortAndLayout("Qovra·程序1");
  EXPECT_EQ(positions(), (std::vector<int>{1, 2, 3}));
  sortAndLayout("no such entry");
  EXPECT_EQ(positions(), (std::vector<int>{1, 2, 3}));
  expectPlacedInOrder();
}

TEST_F(UsageOrderTest, NoMoveUnderARunningDownloadNorInsideAnotherLayout) {
  rowsWithCounts({0, 0, 7});
  sortAndLayout("Qovra·程序3", true);
  EXPECT_EQ(positions(), (std::vector<int>{1, 2, 3}));
  catalogueState().layoutBusy = true;
  sortAndLayout("");
  EXPECT_EQ(positions(), (std::vector<int>{1, 2, 3}));
  catalogueState().layoutBusy = false;
  sortAndLayout("", true);  // a full sort is not held back by a download
  EXPECT_EQ(positions(), (std::vector<int>{3, 1, 2}));
}

TEST_F(UsageOrderTest, TheViewFollowsAnEntryActedOnFromTheSearchResults) {
  rowsWithCounts(std::vector<int>(40, 0));
  const ui::ControlId bar = control("纵向滚动条");
  const auto before = get(bar, Prop::Position);
  sortAndLayout("Qovra·程序30");
  EXPECT_EQ(get(bar, Prop::Position), before) << "without the flag the view stays";

  catalogueState().scrollToActedRow = true;
  sortAndLayout("Qovra·程序30");
  EXPECT_EQ(get(bar, Prop::Position), 100 * 30 / 40);
  EXPECT_FALSE(catalogueState().scrollToActedRow);
  EXPECT_LT(get(control("图片框容器"), Prop::Top), 0) << "the content scrolled with the bar";
}

TEST_F(UsageOrderTest, TheTimerMovesTheEntryRunLastOnceAndStops) {
  rowsWithCounts({3, 0, 0});
  catalogueState().rows[2].entry.usageCount = 4;
  catalogueState().lastRunName = "Qovra·程序3";
  const ui::ControlId timer = control("时钟更新使用顺序");
  tk.setInt(timer, Prop::TimerPeriod, 500);
  tk.advanceTime(500);
  EXPECT_EQ(get(timer, Prop::TimerPeriod), 0);
  EXPECT_EQ(positions(), (std::vector<int>{3, 1, 2}));
}

TEST_F(UsageOrderTest, TheTimerLeavesRowsAloneWhileADownloadRuns) {
  rowsWithCounts({0, 0, 0});
  catalogueState().rows[2].entry.usageCount = 4;
  catalogueState().lastRunName = "Qovra·程序3";
  tk.setInt(control("时钟下载"), Prop::TimerPeriod, 1000);
  tk.setInt(control("时钟更新使用顺序"), Prop::TimerPeriod, 500);
  tk.advanceTime(500);
  EXPECT_EQ(positions(), (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace qovra
