// Catalogue rows on the main window: copies of the templates, placed one pitch apart,
// with texts and enablement by state, and the hover highlight of the name labels.
#include <gtest/gtest.h>

#include "window/main_window_fixture.h"

namespace qovra {
namespace {

using ui::Prop;

class RowsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    open();
  }
  std::vector<ui::ControlId> controlsOf(const CatalogueRow& row) const {
    return {row.iconBox, row.nameLabel, row.downloadButton, row.deleteButton, row.tutorialButton};
  }
};

TEST_F(RowsTest, RowIStandsTwentySixTimesIMinusOneBelowTheTemplatesWithTheIconOnePixelLower) {
  buildRows(30);
  const char* templates[] = {"控件图标", "控件名称", "控件下载点击", "控件删除", "控件教程"};
  for (int i : {1, 2, 3, 17, 30}) {
    SCOPED_TRACE(i);
    const CatalogueRow& row = *rowAt(i);
    const auto controls = controlsOf(row);
    for (std::size_t k = 0; k < controls.size(); ++k) {
      const ui::ControlId t = control(templates[k]);
      const int offset = k == 0 ? 1 : 0;  // the icon: (26 - 23) / 2 truncated
      EXPECT_EQ(get(controls[k], Prop::Top), 8 + 26 * (i - 1) + offset) << templates[k];
      EXPECT_EQ(get(controls[k], Prop::Left), get(t, Prop::Left)) << templates[k];
      EXPECT_EQ(get(controls[k], Prop::Width), get(t, Prop::Width)) << templates[k];
      EXPECT_EQ(get(controls[k], Prop::Height), get(t, Prop::Height)) << templates[k];
      EXPECT_EQ(text(controls[k], Prop::Tag), std::to_string(i)) << templates[k];
      EXPECT_TRUE(tk.isShown(controls[k])) << templates[k];
    }
  }
  // The templates themselves stay hidden where row 1 lies over them.
  for (const char* t : templates) EXPECT_FALSE(tk.isShown(control(t))) << t;
  EXPECT_EQ(catalogueState().contentBottom, 8 + 26 * 30);
}

TEST_F(RowsTest, TheTemplatesDecideThePitch) {
  tk.setInt(control("控件名称"), Prop::Height, 30);
  tk.setInt(control("控件图标"), Prop::Height, 20);
  tk.setInt(control("控件删除"), Prop::Height, 40);
  buildRows(3);
  const CatalogueRow& third = *rowAt(3);
  EXPECT_EQ(get(third.nameLabel, Prop::Top), 8 + 2 * 30);
  EXPECT_EQ(get(third.iconBox, Prop::Top), 8 + 2 * 30 + 5);
  EXPECT_EQ(get(third.deleteButton, Prop::Top), 8 + 2 * 40);
  EXPECT_EQ(get(third.downloadButton, Prop::Top), 8 + 2 * 26);
}

TEST_F(RowsTest, AfterAReorderEveryControlCarriesItsNewRowNumber) {
  buildRows(4);
  auto& rows = catalogueState().rows;
  const CatalogueRow moved = rows[3];
  rows.erase(rows.begin() + 3);
  rows.insert(rows.begin(), moved);
  for (std::size_t i = 0; i < rows.size(); ++i) placeRow(rows[i], static_cast<int>(i + 1));
  for (int i = 1; i <= 4; ++i) {
    for (ui::ControlId c : controlsOf(*rowAt(i))) {
      EXPECT_EQ(rowNumberFromTag(text(c, Prop::Tag)), i);
      EXPECT_EQ(get(c, Prop::Top) / 26, i - 1);
    }
  }
  EXPECT_EQ(rowAt(1)->entry.name, "Qovra·程序4");
}

TEST_F(RowsTest, ANewRowShowsItsStateAndStaysHiddenUntilPlaced) {
  auto noAddress = entry("Qovra·无地址", "1.0");
  noAddress.downloadAddress.clear();
  auto noTutorial = entry("Qovra·无教程", "2.0", "2.0");
  noTutorial.tutorial.clear();
  auto free = entry("Qovra·免费", "", "");
  free.softwareType = kFreeSoftware;
  struct Case {
    SoftwareEntry entry;
    std::string label, download;
    bool downloadEnabled, deleteEnabled;
    std::string tutorial;
    bool tutorialEnabled;
  } cases[] = {
      {entry("Qovra·截图", "1.2"), "Qovra·截图                      (未下载)", "下载 v1.2        ", true, false, "观看教程", true},
      {entry("Qovra·截图", "1.3", "1.2"), "Qovra·截图                      v1.2", "升级 v1.3        ", true, true, "观看教程", true},
      {noTutorial, "Qovra·无教程                    v2.0", "已是最新版本!    ", false, true, "暂无教程", false},
      {noAddress, "Qovra·无地址                    (未下载)", "没有下载地址!    ", false, false, "观看教程", true},
      {free, "[免]Qovra·免费                  (未下载)", "下载 v0.0.0.0    ", true, false, "观看教程", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry.name);
    CatalogueRow row = createRow(c.entry, 7);
    EXPECT_EQ(text(row.nameLabel), c.label);
    EXPECT_EQ(text(row.downloadButton), c.download);
    EXPECT_EQ(row.restingCaption, c.download);
    EXPECT_EQ(get(row.downloadButton, Prop::Enabled), c.downloadEnabled);
    EXPECT_EQ(get(row.deleteButton, Prop::Enabled), c.deleteEnabled);
    EXPECT_EQ(text(row.tutorialButton), c.tutorial);
    EXPECT_EQ(get(row.tutorialButton, Prop::Enabled), c.tutorialEnabled);
    EXPECT_EQ(row.idle, 1);
    EXPECT_EQ(row.entry.name, c.entry.name);
    for (ui::ControlId id : controlsOf(row)) {
      EXPECT_EQ(text(id, Prop::Tag), "7");
      EXPECT_FALSE(tk.isShown(id));
      EXPECT_EQ(tk.record(id)->parent, control("图片框容器"));
      tk.destroyControl(id);
    }
  }
}

class HighlightTest : public RowsTest {
 protected:
  void SetUp() override {
    RowsTest::SetUp();
    buildRows(5);
  }
  ui::ControlId label(int i) const { return rowAt(i)->nameLabel; }
  // The rows whose label is violet and underlined, and any label in neither plain state.
  std::vector<int> highlighted() const {
    std::vector<int> found;
    for (int i = 1; i <= 5; ++i) {
      const auto colour = get(label(i), Prop::TextColour);
      const bool underlined = get(label(i), Prop::FontUnderline) != 0;
      if (colour == kHoverColour && underlined) found.push_back(i);
      else if (colour != kNameColour || underlined) found.push_back(-i);
    }
    return found;
  }
};

TEST_F(HighlightTest, OneLabelAtATimeIsVioletAndUnderlinedAndTheBareContentClearsThem) {
  struct Step {
    const char* what;
    int row;  // 0: the content control
    std::vector<int> highlighted;
  } steps[] = {
      {"onto row 2", 2, {2}},
      {"onto row 4", 4, {4}},
      {"onto row 4 again", 4, {4}},
      {"onto the bare content", 0, {}},
      {"onto row 1", 1, {1}},
  };
  for (const auto& s : steps) {
    ASSERT_TRUE(tk.mouseMove(s.row ? label(s.row) : control("图片框容器"))) << s.what;
    EXPECT_EQ(highlighted(), s.highlighted) << s.what;
  }
}

TEST_F(HighlightTest, MovesOverTheSameLabelWriteNothingAfterTheFirst) {
  tk.mouseMove(label(3));
  tk.resetWriteCounts();
  for (int i = 0; i < 50; ++i) tk.mouseMove(label(3));
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(tk.writeCount(label(i)), 0) << i;
  // Leaving it writes exactly its colour and its underline, once.
  tk.mouseMove(label(2));
  EXPECT_EQ(tk.writeCount(label(3), Prop::TextColour), 1);
  EXPECT_EQ(tk.writeCount(label(3), Prop::FontUnderline), 1);
  EXPECT_EQ(tk.writeCount(label(1)), 0);
}

TEST_F(HighlightTest, NothingChangesWhileTheCatalogueIsBeingBuilt) {
  catalogueState().catalogueReady = false;
  tk.mouseMove(label(2));
  EXPECT_EQ(highlighted(), std::vector<int>{});
  catalogueState().catalogueReady = true;
  tk.mouseMove(label(2));
  EXPECT_EQ(highlighted(), std::vector<int>{2});
}

TEST_F(HighlightTest, AHandlerThatEmptiesTheCatalogueDuringAResetEndsThePass) {
  tk.mouseMove(label(1));
  // A label being put back processes pending messages; a rebuild may run there.
  tk.post([] { clearCatalogue(); });
  highlightNameLabel(0);
  EXPECT_TRUE(catalogueState().rows.empty());
}

}  // namespace
}  // namespace qovra
