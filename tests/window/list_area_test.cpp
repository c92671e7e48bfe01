// The list area of the main window: its layout after a size change, the scroll bars, the
// wheel step, the wheel's inside-the-window test and the jump to a row.
#include <gtest/gtest.h>

#include "window/main_window_fixture.h"
#include "window/result_list.h"

namespace qovra {
namespace {

using ui::Prop;

class ListAreaTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    open();
    tk.activate(window);
  }
  ui::ControlId vBar() const { return control("纵向滚动条"); }
  ui::ControlId content() const { return control("图片框容器"); }
  struct Rect { std::int64_t left, top, width, height; bool operator==(const Rect&) const = default; };
  Rect rect(const char* name) const {
    const ui::ControlId c = control(name);
    return {get(c, Prop::Left), get(c, Prop::Top), get(c, Prop::Width), get(c, Prop::Height)};
  }
  void setPosition(int position) { tk.setInt(vBar(), Prop::Position, position); }
};

TEST_F(ListAreaTest, ASizeChangeLaysOutTheListAreaTheLoadingPanelAndTheHeader) {
  buildRows(30);
  ASSERT_TRUE(tk.resize(window, 1000, 600));  // client 984 x 561
  EXPECT_EQ(rect("图片框边界"), (Rect{0, 90, 984, 471}));
  // 826 px of columns fit the width: no horizontal bar; 798 px of rows do not fit.
  EXPECT_FALSE(get(control("横向滚动条"), Prop::Visible));
  EXPECT_TRUE(get(vBar(), Prop::Visible));
  EXPECT_EQ(rect("纵向滚动条"), (Rect{984 - 17, 0, 17, 471}));
  EXPECT_EQ(rect("图片框容器"), (Rect{0, 0, 984 - 17, 471}));
  EXPECT_EQ(get(vBar(), Prop::Maximum), kListSteps);
  EXPECT_EQ(rect("图片框加载中"), (Rect{0, 89, 984, 473}));
  EXPECT_EQ(rect("图片框底座"), (Rect{0, 0, 984, 88}));
  EXPECT_EQ(rect("标签分隔条"), (Rect{0, 88, 984, 2}));
}

TEST_F(ListAreaTest, ShortContentHidesTheVerticalBarAndFillsTheViewport) {
  buildRows(3);
  ASSERT_TRUE(tk.resize(window, 1000, 600));
  EXPECT_FALSE(get(vBar(), Prop::Visible));
  EXPECT_EQ(rect("图片框容器"), (Rect{0, 0, 984, 471}));
}

TEST_F(ListAreaTest, TheVerticalBarShiftsTheContentByItsShareOfTheHiddenPart) {
  buildRows(30);
  ASSERT_TRUE(tk.resize(window, 1000, 600));
  // 798 logical pixels, 471 visible, 100 steps: 3.27 px a step.
  struct Case { int position; std::int64_t top, height; } cases[] = {
      {50, -163, 634}, {100, -327, 798}, {1, -3, 474}};
  for (const auto& c : cases) {
    ASSERT_TRUE(tk.scroll(vBar(), c.position)) << c.position;
    EXPECT_EQ(get(content(), Prop::Top), c.top) << c.position;
    EXPECT_EQ(get(content(), Prop::Height), c.height) << c.position;
  }
}

TEST_F(ListAreaTest, TheHorizontalBarShiftsTheContentSidewaysAndKeepsTheVerticalPlace) {
  buildRows(30);
  ASSERT_TRUE(tk.resize(window, 700, 600));  // client 684 wide: the 826 px of columns do not fit
  ASSERT_TRUE(get(control("横向滚动条"), Prop::Visible));
  ASSERT_TRUE(tk.scroll(vBar(), 50));
  const auto top = get(content(), Prop::Top);
  // 826 logical pixels, 684 - 17 visible, 100 steps: 1.59 px a step.
  ASSERT_TRUE(tk.scroll(control("横向滚动条"), 50));
  EXPECT_EQ(get(content(), Prop::Left), -79);
  EXPECT_EQ(get(content(), Prop::Width), 79 + 684 - 17);
  EXPECT_EQ(get(content(), Prop::Top), top);
}

TEST_F(ListAreaTest, AWheelNotchMovesThreeRowsShareOfTheRange) {
  struct Case {
    int rows, position, delta;
    std::int64_t expected;
  } cases[] = {
      {30, 1, -120, 11},   // towards the user: down by 300 / 30
      {30, 50, 120, 40},   // away: up
      {30, 50, 0, 60},     // no delta counts as towards the user
      {30, 95, -120, 100}, // never past the end
      {30, 5, 120, 1},     // never before the bar's minimum
      {7, 1, -120, 43},    // 1 + 42.86, truncated
      {7, 60, 240, 17},    // 60 - 42.86; a notch is a notch, however far the wheel turned
      {100, 10, -120, 13},
      {0, 20, -120, 20},   // no rows: the position stays
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " rows at " << c.position << ", delta " << c.delta);
    clearCatalogue();
    buildRows(c.rows);
    setPosition(c.position);
    tk.setInt(control("树型框"), Prop::Visible, 1);
    ASSERT_TRUE(tk.wheel(400, 400, c.delta));
    EXPECT_EQ(get(vBar(), Prop::Position), c.expected);
    EXPECT_FALSE(get(control("树型框"), Prop::Visible));
  }
}

TEST_F(ListAreaTest, OnlyATurnStrictlyInsideTheWindowScrolls) {
  buildRows(30);
  // The window's outer rectangle: left 50, top 50, 964 x 700.
  struct Case {
    const char* where;
    int x, y;
    bool scrolls;
  } cases[] = {
      {"over the list", 400, 400, true},
      {"over the header band", 400, 60, true},
      {"just inside the top-left corner", 51, 51, true},
      {"just inside the bottom-right corner", 1013, 749, true},
      {"on the left edge", 50, 400, false},
      {"on the top edge", 400, 50, false},
      {"on the right edge", 1014, 400, false},
      {"on the bottom edge", 400, 750, false},
      {"left of the window", 10, 400, false},
      {"below the window", 400, 900, false},
  };
  for (const auto& c : cases) {
    setPosition(20);
    tk.setInt(control("树型框"), Prop::Visible, 1);
    ASSERT_TRUE(tk.wheel(c.x, c.y, -120)) << c.where;
    EXPECT_EQ(get(vBar(), Prop::Position), c.scrolls ? 30 : 20) << c.where;
    EXPECT_EQ(get(control("树型框"), Prop::Visible), !c.scrolls) << c.where;
  }
}

TEST_F(ListAreaTest, PressesOnTheContentTheProgressBarAndItsHintHideTheResultList) {
  buildRows(3);
  tk.setInt(control("控件下载进度"), Prop::Visible, 1);
  tk.setInt(control("控件下载提示"), Prop::Visible, 1);
  struct Case { const char* pressed; bool hides; } cases[] = {
      {"图片框容器", true}, {"控件下载进度", true}, {"控件下载提示", true}, {"图片框底座", false}};
  for (const auto& c : cases) {
    tk.setInt(control("树型框"), Prop::Visible, 1);
    ASSERT_TRUE(tk.mouseDown(control(c.pressed), ui::kLeftButton)) << c.pressed;
    EXPECT_EQ(get(control("树型框"), Prop::Visible), !c.hides) << c.pressed;
  }
}

TEST_F(ListAreaTest, AWindowOnAScreenLeftOfOrAboveThePrimaryOneTakesTheWheelToo) {
  buildRows(30);
  // Screen coordinates are signed: a second monitor left of the first has negative ones.
  tk.setInt(window, Prop::Left, -1200);
  tk.setInt(window, Prop::Top, -300);
  setPosition(20);
  ASSERT_TRUE(tk.wheel(-800, -100, -120));
  EXPECT_EQ(get(vBar(), Prop::Position), 30);
  ASSERT_TRUE(tk.wheel(-100, -100, -120));  // right of the window
  EXPECT_EQ(get(vBar(), Prop::Position), 30);
}

TEST_F(ListAreaTest, JumpingToARowSetsItsShareOfTheRangeAndScrolls) {
  struct Case { int rows, row; std::int64_t position; } cases[] = {
      {30, 15, 50}, {30, 30, 100}, {30, 1, 3}, {100, 29, 29}, {7, 3, 42}, {0, 3, 20}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " of " << c.rows);
    clearCatalogue();
    buildRows(c.rows);
    setPosition(20);
    jumpToRow(c.row);
    EXPECT_EQ(get(vBar(), Prop::Position), c.position);
    const double step = mainWindowState().listArea.verticalStep();
    if (get(vBar(), Prop::Visible)) { EXPECT_EQ(get(content(), Prop::Top), -static_cast<std::int64_t>(c.position * step)); }
  }
}

}  // namespace
}  // namespace qovra
