// Forms, controls, properties, copies and the tree view of the headless toolkit.
#include "platform/headless/headless_toolkit.h"

#include "headless/headless_fixture.h"

namespace qovra::ui {
namespace {

TEST_F(HeadlessTest, ALoadedFormHasItsDesignedControlsAndAHiddenWindow) {
  EXPECT_EQ(events, Events{"Created:form"});
  EXPECT_FALSE(tk.getInt(window, Prop::Visible));
  EXPECT_EQ(tk.getText(window, Prop::Caption), "Test");
  EXPECT_EQ(tk.getInt(window, Prop::Left), 100);
  EXPECT_EQ(tk.getInt(window, Prop::Width), 400);
  EXPECT_EQ(tk.getInt(window, Prop::ClientWidth), 400 - HeadlessToolkit::kFrameWidth);
  EXPECT_EQ(tk.getInt(window, Prop::ClientHeight), 300 - HeadlessToolkit::kFrameHeight);
  EXPECT_EQ(tk.windowOf(window), window);

  const ControlId label = id("label");
  ASSERT_NE(label, 0);
  EXPECT_EQ(tk.nameOf(label), "label");
  EXPECT_EQ(tk.windowOf(label), window);
  EXPECT_EQ(tk.record(label)->parent, id("pane"));
  EXPECT_EQ(tk.getText(label, Prop::Caption), "名称");
  EXPECT_EQ(tk.getInt(label, Prop::TextColour), rgb(0, 0, 255));
  EXPECT_EQ(tk.record(label)->font.face, "新宋体");
  EXPECT_EQ(tk.record(label)->cursor, Cursor::Hand);
  EXPECT_TRUE(tk.getInt(label, Prop::Visible));
  EXPECT_FALSE(tk.getInt(id("hidden"), Prop::Visible));
  EXPECT_EQ(tk.find(window, "nothing"), 0);
  EXPECT_EQ(tk.find(label, "label"), 0);  // only a window finds by name
}

TEST_F(HeadlessTest, AControlIsShownOnlyWhenItsParentsAndWindowAre) {
  const ControlId label = id("label");
  EXPECT_FALSE(tk.isShown(label));  // the window is hidden
  show();
  EXPECT_TRUE(tk.isShown(label));
  tk.setInt(id("pane"), Prop::Visible, 0);
  EXPECT_TRUE(tk.getInt(label, Prop::Visible));
  EXPECT_FALSE(tk.isShown(label));
}

TEST_F(HeadlessTest, EveryPropertyReadsBackWhatWasWritten) {
  struct Case {
    const char* control;
    Prop prop;
    std::int64_t value;
  } cases[] = {
      {"label", Prop::Left, -30},          {"label", Prop::Top, 77},
      {"label", Prop::Width, 123},         {"label", Prop::Height, 9},
      {"label", Prop::Visible, 0},         {"button", Prop::Enabled, 0},
      {"label", Prop::TextColour, rgb(144, 0, 255)},
      {"label", Prop::BackColour, rgb(245, 245, 245)},
      {"label", Prop::FontBold, 1},        {"label", Prop::FontItalic, 1},
      {"label", Prop::FontUnderline, 1},   {"edit", Prop::ReadOnly, 1},
      {"bar", Prop::Maximum, 250},         {"bar", Prop::Position, 40},
      {"progress", Prop::Position, 55},    {"tree", Prop::Style, 0x200},
      {"tick", Prop::TimerPeriod, 500},    {"form", Prop::TopMost, 1},
      {"form", Prop::Minimised, 1},
  };
  for (const auto& c : cases) {
    const ControlId control = std::string(c.control) == "form" ? window : id(c.control);
    tk.setInt(control, c.prop, c.value);
    EXPECT_EQ(tk.getInt(control, c.prop), c.value) << c.control << " " << static_cast<int>(c.prop);
  }
  const std::pair<Prop, std::string> texts[] = {{Prop::Tag, "12"},
                                                {Prop::Caption, "盒子主页"},
                                                {Prop::Picture, std::string("\x89PNG\0x", 6)},
                                                {Prop::HotPicture, "hot bytes"},
                                                {Prop::LinkAddress, "http://host/path"}};
  for (const auto& [prop, text] : texts) {
    tk.setText(id("picture"), prop, text);
    EXPECT_EQ(tk.getText(id("picture"), prop), text);
  }
  EXPECT_EQ(tk.getInt(id("picture"), Prop::Tag), 12);
  tk.setInt(id("label"), Prop::Tag, 7);
  EXPECT_EQ(tk.getText(id("label"), Prop::Tag), "7");
  tk.setText(id("label"), Prop::Top, "31");
  EXPECT_EQ(tk.getInt(id("label"), Prop::Top), 31);
}

TEST_F(HeadlessTest, PropertiesAControlDoesNotHaveStayAtZero) {
  const ControlId label = id("label");
  tk.setInt(label, Prop::Position, 5);
  tk.setInt(label, Prop::ReadOnly, 1);
  tk.setInt(label, Prop::TimerPeriod, 100);
  tk.setInt(label, Prop::Maximised, 1);
  for (Prop prop : {Prop::Position, Prop::ReadOnly, Prop::TimerPeriod, Prop::Maximised})
    EXPECT_EQ(tk.getInt(label, prop), 0) << static_cast<int>(prop);
  tk.setInt(window, Prop::ClientWidth, 5);
  EXPECT_EQ(tk.getInt(window, Prop::ClientWidth), 400 - HeadlessToolkit::kFrameWidth);
  EXPECT_EQ(tk.getInt(9999, Prop::Left), 0);
  EXPECT_EQ(tk.getText(9999, Prop::Caption), "");
  tk.setInt(9999, Prop::Left, 3);  // an unknown control is ignored
}

TEST_F(HeadlessTest, ScrollAndProgressPositionsStayInsideTheirRange) {
  const ControlId bar = id("bar"), progress = id("progress");
  EXPECT_EQ(tk.getInt(bar, Prop::Minimum), 1);
  EXPECT_EQ(tk.getInt(bar, Prop::Position), 1);  // starts at its minimum
  EXPECT_EQ(tk.getInt(progress, Prop::Maximum), 100);
  tk.setInt(bar, Prop::Position, 0);
  EXPECT_EQ(tk.getInt(bar, Prop::Position), 1);
  tk.setInt(bar, Prop::Position, 500);
  EXPECT_EQ(tk.getInt(bar, Prop::Position), 100);
  tk.setInt(bar, Prop::Maximum, 60);
  EXPECT_EQ(tk.getInt(bar, Prop::Position), 60);
  tk.setInt(progress, Prop::Position, -4);
  EXPECT_EQ(tk.getInt(progress, Prop::Position), 0);
}

TEST_F(HeadlessTest, SizesNeverGoNegative) {
  tk.setInt(id("label"), Prop::Width, -5);
  EXPECT_EQ(tk.getInt(id("label"), Prop::Width), 0);
  tk.setInt(window, Prop::Height, -1);
  EXPECT_EQ(tk.getInt(window, Prop::ClientHeight), 0);
}

TEST_F(HeadlessTest, ClassNamesFollowTheNativeControls) {
  EXPECT_EQ(tk.className(id("tree")), "SysTreeView32");
  EXPECT_EQ(tk.className(id("button")), "Button");
  EXPECT_EQ(tk.className(id("edit")), "Edit");
  EXPECT_EQ(tk.className(id("label")), "Static");
  EXPECT_EQ(tk.className(id("bar")), "ScrollBar");
  EXPECT_EQ(tk.className(id("progress")), "msctls_progress32");
  EXPECT_EQ(tk.className(id("tick")), "");
  EXPECT_EQ(tk.className(4242), "");
}

TEST_F(HeadlessTest, ACopyTakesTheTemplatesLooksButStartsHiddenAndUntagged) {
  const ControlId label = id("label");
  tk.setText(label, Prop::Tag, "1");
  tk.setInt(label, Prop::FontUnderline, 1);
  tk.setInt(label, Prop::Style, 0x40);
  const ControlId copy = tk.copyControl(label);
  ASSERT_NE(copy, 0);
  ASSERT_NE(copy, label);
  const ControlRecord& c = *tk.record(copy);
  const ControlRecord& t = *tk.record(label);
  EXPECT_EQ(c.kind, t.kind);
  EXPECT_EQ(c.parent, t.parent);
  EXPECT_EQ(c.window, window);
  EXPECT_EQ(std::tie(c.left, c.top, c.width, c.height), std::tie(t.left, t.top, t.width, t.height));
  EXPECT_EQ(c.caption, "名称");
  EXPECT_EQ(c.font.face, "新宋体");
  EXPECT_TRUE(c.font.underline);
  EXPECT_EQ(c.textColour, rgb(0, 0, 255));
  EXPECT_EQ(c.cursor, Cursor::Hand);
  EXPECT_EQ(c.style, 0x40);
  EXPECT_FALSE(c.visible);
  EXPECT_EQ(c.tag, "");
  EXPECT_EQ(tk.nameOf(copy), "label");
  EXPECT_EQ(tk.find(window, "label"), label);  // the name still finds the template

  // Changing the copy leaves the template alone.
  tk.setText(copy, Prop::Caption, "副本");
  tk.setInt(copy, Prop::Top, 31);
  EXPECT_EQ(tk.getText(label, Prop::Caption), "名称");
  EXPECT_EQ(tk.getInt(label, Prop::Top), 5);
}

TEST_F(HeadlessTest, CopiesOfTimersAndTreesStartStoppedAndEmpty) {
  tk.setInt(id("tick"), Prop::TimerPeriod, 100);
  tk.treeAdd(id("tree"), "a", 0, 0, 1);
  tk.treeSelect(id("tree"), 0);
  const ControlId timer = tk.copyControl(id("tick"));
  const ControlId tree = tk.copyControl(id("tree"));
  EXPECT_EQ(tk.getInt(timer, Prop::TimerPeriod), 0);
  EXPECT_EQ(tk.treeCount(tree), 0);
  EXPECT_EQ(tk.treeSelected(tree), -1);
  EXPECT_EQ(tk.copyControl(window), 0);
  EXPECT_EQ(tk.copyControl(31337), 0);
}

TEST_F(HeadlessTest, DestroyingAControlTakesItsChildrenWithIt) {
  const ControlId pane = tk.copyControl(id("pane"));
  const ControlId inner = tk.copyControl(id("button"));
  tk.setParent(inner, pane);
  EXPECT_EQ(tk.childrenOf(pane), std::vector<ControlId>{inner});
  tk.destroyControl(pane);
  EXPECT_EQ(tk.record(pane), nullptr);
  EXPECT_EQ(tk.record(inner), nullptr);
  EXPECT_NE(tk.record(id("button")), nullptr);
  tk.destroyControl(window);  // a window is not a control
  EXPECT_NE(tk.record(window), nullptr);
}

TEST_F(HeadlessTest, SetParentKeepsTheNumbersOfThePlace) {
  const ControlId label = id("label"), progress = id("progress");
  tk.setParent(label, progress);
  EXPECT_EQ(tk.record(label)->parent, progress);
  EXPECT_EQ(tk.getInt(label, Prop::Left), 5);
  EXPECT_EQ(tk.getInt(label, Prop::Top), 5);
  // A control never goes under itself or its own child; nor under a timer.
  tk.setParent(id("pane"), label);
  EXPECT_EQ(tk.record(id("pane"))->parent, window);
  EXPECT_EQ(tk.problems().size(), 1u);
  tk.clearProblems();
  tk.setParent(label, id("tick"));
  EXPECT_EQ(tk.record(label)->parent, progress);
}

TEST_F(HeadlessTest, TheTreeViewIsAFlatListWithValuesAndASelection) {
  const ControlId tree = id("tree");
  EXPECT_EQ(tk.treeAdd(tree, "软件A", 0, 0, 3), 0);
  EXPECT_EQ(tk.treeAdd(tree, "软件B", 1, 1, 1LL << 40), 1);
  EXPECT_EQ(tk.treeCount(tree), 2);
  EXPECT_EQ(tk.treeSelected(tree), -1);
  tk.treeSelect(tree, 1);
  EXPECT_EQ(tk.treeSelected(tree), 1);
  EXPECT_EQ(tk.treeValue(tree, 1), 1LL << 40);
  EXPECT_EQ(tk.record(tree)->items[0].caption, "软件A");
  tk.treeSelect(tree, 2);
  EXPECT_EQ(tk.treeSelected(tree), -1);
  EXPECT_EQ(tk.treeValue(tree, 5), 0);
  EXPECT_EQ(tk.treeValue(tree, -1), 0);
  tk.treeClear(tree);
  EXPECT_EQ(tk.treeCount(tree), 0);
  EXPECT_EQ(tk.treeSelected(tree), -1);
  EXPECT_EQ(tk.treeAdd(id("label"), "x", 0, 0, 0), -1);  // not a tree
}

TEST_F(HeadlessTest, AnImageListSkipsWhatIsNoPicture) {
  const std::vector<std::string> pictures = {"\x89PNG\r\n\x1a\nrest", "junk", "BMxxxx", ""};
  EXPECT_EQ(tk.treeSetImages(id("tree"), pictures, rgb(255, 0, 255)), (std::vector<int>{0, -1, 1, -1}));
  EXPECT_EQ(tk.record(id("tree"))->images.size(), 2u);
  EXPECT_EQ(tk.record(id("tree"))->imagesTransparent, rgb(255, 0, 255));
  EXPECT_EQ(tk.treeSetImages(id("tree"), {}, 0), std::vector<int>{});
  EXPECT_TRUE(tk.record(id("tree"))->images.empty());
}

TEST_F(HeadlessTest, WritesAreCountedEvenWhenTheyChangeNothing) {
  const ControlId label = id("label");
  tk.setInt(label, Prop::TextColour, rgb(0, 0, 255));
  tk.setInt(label, Prop::TextColour, rgb(0, 0, 255));
  tk.setText(label, Prop::Caption, "名称");
  tk.setInt(label, Prop::Tag, 4);  // one write, whichever way it is made
  EXPECT_EQ(tk.writeCount(label, Prop::TextColour), 2);
  EXPECT_EQ(tk.writeCount(label, Prop::Caption), 1);
  EXPECT_EQ(tk.writeCount(label, Prop::Tag), 1);
  EXPECT_EQ(tk.writeCount(label), 4);
  EXPECT_EQ(tk.writeCount(id("button")), 0);
  tk.getInt(label, Prop::TextColour);
  EXPECT_EQ(tk.writeCount(label), 4);  // reads are free
  tk.resetWriteCounts();
  EXPECT_EQ(tk.writeCount(label), 0);
}

TEST_F(HeadlessTest, AFormWithAMissingParentOrATwiceUsedNameIsAProblem) {
  FormSpec form;
  form.name = "bad";
  form.controls = {{.name = "a", .kind = Kind::Label, .parent = "nowhere"},
                   {.name = "b", .kind = Kind::Label},
                   {.name = "b", .kind = Kind::Button}};
  const ControlId bad = load(form);
  ASSERT_NE(tk.find(bad, "a"), 0);
  EXPECT_EQ(tk.record(tk.find(bad, "a"))->parent, bad);
  EXPECT_EQ(tk.record(tk.find(bad, "b"))->kind, Kind::Label);
  EXPECT_EQ(tk.problems().size(), 2u);
  tk.clearProblems();
}

TEST_F(HeadlessTest, AParentListedAfterItsChildIsFoundAllTheSame) {
  FormSpec form;
  form.name = "late";
  form.controls = {{.name = "child", .kind = Kind::Label, .parent = "box", .left = 3},
                   {.name = "box", .kind = Kind::Panel}};
  const ControlId late = load(form);
  EXPECT_EQ(tk.record(tk.find(late, "child"))->parent, tk.find(late, "box"));
}

}  // namespace
}  // namespace qovra::ui
