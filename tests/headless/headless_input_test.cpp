// Input injected into the headless toolkit: which events a user's action raises, in
// which order, and when it reaches nothing.
#include "headless/headless_fixture.h"

namespace qovra::ui {
namespace {

TEST_F(HeadlessTest, ShowingTheWindowActivatesItOnce) {
  tk.setInt(window, Prop::Visible, 1);
  tk.setInt(window, Prop::Visible, 1);
  EXPECT_EQ(events, (Events{"Created:form", "Activated:form"}));
  EXPECT_EQ(tk.activeWindow(), window);
  tk.setInt(window, Prop::Visible, 0);
  EXPECT_EQ(tk.activeWindow(), 0);
  tk.setInt(window, Prop::Visible, 1);
  EXPECT_EQ(events.back(), "Activated:form");
}

TEST_F(HeadlessTest, ActivationComesBackOnlyAfterTheUserLeft) {
  show();
  EXPECT_TRUE(tk.activate(window));
  EXPECT_EQ(events, Events{});
  tk.deactivate();
  EXPECT_TRUE(tk.activate(window));
  EXPECT_EQ(events, Events{"Activated:form"});
}

TEST_F(HeadlessTest, AClickPressesMovesTheFocusReleasesAndClicks) {
  show();
  EXPECT_TRUE(tk.click(id("button"), kCtrl));
  EXPECT_EQ(events, (Events{"MouseDown:button", "FocusGot:button", "MouseUp:button", "Click:button"}));
  EXPECT_EQ(last.keys, kCtrl);
  events.clear();
  EXPECT_TRUE(tk.click(id("label")));  // labels click but take no focus
  EXPECT_EQ(events, (Events{"MouseDown:label", "MouseUp:label", "Click:label"}));
  EXPECT_EQ(tk.focused(), id("button"));
  events.clear();
  EXPECT_TRUE(tk.click(id("edit")));  // edit boxes take the focus but do not click
  EXPECT_EQ(events, (Events{"MouseDown:edit", "FocusLost:button", "FocusGot:edit", "MouseUp:edit"}));
}

TEST_F(HeadlessTest, APressIsToldBeforeTheFocusLeaves) {
  show();
  tk.focus(id("edit"));
  events.clear();
  ControlId focusAtPress = 0;
  react = [&](Event& e) {
    if (e.kind == EventKind::MouseDown) focusAtPress = tk.focused();
  };
  tk.pressTreeItem(id("tree"), -1);
  EXPECT_EQ(focusAtPress, id("edit"));
  EXPECT_EQ(events, (Events{"MouseDown:tree", "FocusLost:edit", "FocusGot:tree"}));
}

TEST_F(HeadlessTest, MouseEventsCarryButtonKeysAndPlace) {
  show();
  tk.mouseDown(id("label"), kRightButton, kAlt | kShift, 3, 4);
  EXPECT_EQ(last.kind, EventKind::MouseDown);
  EXPECT_EQ(last.button, kRightButton);
  EXPECT_EQ(last.keys, kAlt | kShift);
  EXPECT_EQ(std::pair(last.x, last.y), std::pair(3, 4));
  tk.mouseUp(id("label"), kRightButton);
  EXPECT_EQ(std::pair(last.x, last.y), std::pair(40, 10));  // the middle by default
  EXPECT_EQ(events, (Events{"MouseDown:label", "MouseUp:label"}));  // no click for the right button
  tk.mouseMove(id("pane"), 7, 8);
  EXPECT_EQ(events.back(), "MouseMove:pane");
  EXPECT_EQ(last.x, 7);
}

TEST_F(HeadlessTest, InputReachesNoHiddenOrDisabledControl) {
  EXPECT_FALSE(tk.click(id("button")));  // the window is not shown yet
  show();
  EXPECT_FALSE(tk.click(id("hidden")));
  tk.setInt(id("button"), Prop::Enabled, 0);
  EXPECT_FALSE(tk.click(id("button")));
  tk.setInt(id("pane"), Prop::Enabled, 0);
  EXPECT_FALSE(tk.mouseMove(id("label")));
  tk.setInt(window, Prop::Minimised, 1);
  EXPECT_FALSE(tk.click(id("edit")));
  EXPECT_FALSE(tk.click(12345));
  EXPECT_EQ(events, Events{});
}

TEST_F(HeadlessTest, AHandlerThatHidesItsControlEndsTheClick) {
  show();
  react = [&](Event& e) {
    if (e.kind == EventKind::MouseDown) tk.setInt(e.control, Prop::Visible, 0);
  };
  EXPECT_TRUE(tk.click(id("label")));
  EXPECT_EQ(events, Events{"MouseDown:label"});
}

TEST_F(HeadlessTest, AHandlerThatDestroysItsControlEndsTheClick) {
  show();
  const ControlId copy = tk.copyControl(id("button"));
  tk.setInt(copy, Prop::Visible, 1);
  react = [&](Event& e) {
    if (e.kind == EventKind::MouseDown) tk.destroyControl(e.control);
  };
  EXPECT_TRUE(tk.click(copy));
  EXPECT_EQ(events, Events{"MouseDown:button"});
  EXPECT_EQ(tk.record(copy), nullptr);
}

TEST_F(HeadlessTest, KeysGoToTheFocusedBoxAndMayBeSwallowed) {
  show();
  react = [](Event& e) {
    if (e.kind == EventKind::KeyDown && e.key == 13) e.swallow = true;
  };
  EXPECT_TRUE(tk.keyDown(id("edit"), 13));
  EXPECT_EQ(events, (Events{"FocusGot:edit", "KeyDown:edit"}));
  EXPECT_FALSE(tk.keyDown(id("edit"), 40, kShift));
  EXPECT_EQ(last.key, 40);
  EXPECT_EQ(last.keys, kShift);
  EXPECT_FALSE(tk.keyDown(id("label"), 13));  // a label takes no keys
  EXPECT_EQ(events.size(), 3u);
}

TEST_F(HeadlessTest, TypingReplacesTheTextAndTellsOnce) {
  show();
  EXPECT_TRUE(tk.typeText(id("edit"), "rj"));
  EXPECT_EQ(events, (Events{"FocusGot:edit", "TextChanged:edit"}));
  EXPECT_EQ(tk.getText(id("edit"), Prop::Caption), "rj");
  tk.setInt(id("edit"), Prop::ReadOnly, 1);
  EXPECT_FALSE(tk.typeText(id("edit"), "x"));
  EXPECT_EQ(tk.getText(id("edit"), Prop::Caption), "rj");
  EXPECT_FALSE(tk.typeText(id("label"), "x"));
}

TEST_F(HeadlessTest, TheProgramsOwnTextOfAnEditBoxIsToldToo) {
  tk.setText(id("edit"), Prop::Caption, "即输即搜");
  tk.setText(id("label"), Prop::Caption, "not an edit box");
  EXPECT_EQ(events, (Events{"Created:form", "TextChanged:edit"}));
}

TEST_F(HeadlessTest, SetFocusTellsTheLoserFirst) {
  tk.setFocus(id("edit"));
  tk.setFocus(id("button"));
  tk.setFocus(id("button"));
  EXPECT_EQ(events, (Events{"Created:form", "FocusGot:edit", "FocusLost:edit", "FocusGot:button"}));
  tk.setFocus(window);  // the window itself: no control has the focus
  EXPECT_EQ(tk.focused(), 0);
  EXPECT_EQ(events.back(), "FocusLost:button");
}

TEST_F(HeadlessTest, HidingTheFocusedControlTakesTheFocusAway) {
  show();
  tk.focus(id("button"));
  tk.setInt(id("pane"), Prop::Visible, 0);
  EXPECT_EQ(tk.focused(), 0);
  EXPECT_EQ(events, (Events{"FocusGot:button", "FocusLost:button"}));
}

TEST_F(HeadlessTest, TheWheelGoesToTheActiveWindowWithScreenCoordinates) {
  EXPECT_FALSE(tk.wheel(150, 100, -120));  // no window is active
  show();
  EXPECT_TRUE(tk.wheel(5000, -20, -120, kCtrl));
  EXPECT_EQ(events, Events{"Wheel:form"});
  EXPECT_EQ(last.x, 5000);
  EXPECT_EQ(last.y, -20);
  EXPECT_EQ(last.delta, -120);
  EXPECT_EQ(last.keys, kCtrl);
}

TEST_F(HeadlessTest, MovingAScrollBarClampsAndTellsOnlyOfAChange) {
  show();
  EXPECT_TRUE(tk.scroll(id("bar"), 50));
  EXPECT_TRUE(tk.scroll(id("bar"), 50));
  EXPECT_TRUE(tk.scroll(id("bar"), 900));
  EXPECT_EQ(events, (Events{"Scrolled:bar", "Scrolled:bar"}));
  EXPECT_EQ(tk.getInt(id("bar"), Prop::Position), 100);
  EXPECT_FALSE(tk.scroll(id("label"), 3));
}

TEST_F(HeadlessTest, PressingATreeItemSelectsIt) {
  show();
  const ControlId tree = id("tree");
  for (int i = 0; i < 3; ++i) tk.treeAdd(tree, "item", 0, 0, i + 10);
  tk.treeSelect(tree, 0);
  EXPECT_TRUE(tk.pressTreeItem(tree, 2));
  EXPECT_EQ(tk.treeSelected(tree), 2);
  EXPECT_TRUE(tk.pressTreeItem(tree, -1));  // the empty area keeps the selection
  EXPECT_EQ(tk.treeSelected(tree), 2);
  EXPECT_EQ(events, (Events{"MouseDown:tree", "FocusGot:tree", "MouseDown:tree"}));
}

TEST_F(HeadlessTest, APictureButtonShowsItsHotPictureUnderTheMouse) {
  show();
  const ControlId picture = id("picture");
  EXPECT_EQ(tk.shownPicture(picture), "normal");
  tk.mouseMove(picture);
  EXPECT_EQ(tk.shownPicture(picture), "hot");
  tk.mouseMove(id("pane"));
  EXPECT_EQ(tk.shownPicture(picture), "normal");
}

TEST_F(HeadlessTest, ResizingTellsOfAChangedSize) {
  show();
  EXPECT_TRUE(tk.resize(window, 500, 400));
  EXPECT_TRUE(tk.resize(window, 500, 400));
  EXPECT_EQ(events, Events{"Resized:form"});
  EXPECT_EQ(tk.getInt(window, Prop::ClientWidth), 500 - HeadlessToolkit::kFrameWidth);
  tk.setInt(window, Prop::Width, 640);  // the program's own change too
  tk.setInt(window, Prop::Left, 3);     // a move is no resize
  EXPECT_EQ(events, (Events{"Resized:form", "Resized:form"}));
}

TEST_F(HeadlessTest, MaximisingFillsTheScreenAndRestoringPutsItBack) {
  tk.setScreenSize(1024, 768);
  tk.setInt(window, Prop::Maximised, 1);
  EXPECT_EQ(tk.getInt(window, Prop::Width), 1024);
  EXPECT_EQ(tk.getInt(window, Prop::Left), 0);
  tk.setInt(window, Prop::Maximised, 0);
  EXPECT_EQ(tk.getInt(window, Prop::Width), 400);
  EXPECT_EQ(tk.getInt(window, Prop::Left), 100);
  EXPECT_EQ(events, (Events{"Created:form", "Resized:form", "Resized:form"}));
  EXPECT_EQ(tk.screenWidth(), 1024);
  EXPECT_EQ(tk.screenHeight(), 768);
}

TEST_F(HeadlessTest, ClosingAsksFirstAndMayBeRefused) {
  show();
  react = [](Event& e) {
    if (e.kind == EventKind::CloseQuery) e.allow = false;
  };
  EXPECT_FALSE(tk.closeWindow(window));
  EXPECT_NE(tk.record(window), nullptr);
  react = nullptr;
  ControlId seenWindowOf = 0;
  react = [&](Event& e) {
    if (e.kind == EventKind::Destroyed) seenWindowOf = tk.windowOf(e.control);
  };
  EXPECT_TRUE(tk.closeWindow(window));
  EXPECT_EQ(events, (Events{"CloseQuery:form", "CloseQuery:form", "Destroyed:form"}));
  EXPECT_EQ(seenWindowOf, window);  // the records still stand while Destroyed runs
  EXPECT_EQ(tk.record(window), nullptr);
  EXPECT_EQ(tk.record(id("label")), nullptr);
  EXPECT_EQ(tk.activeWindow(), 0);
}

TEST_F(HeadlessTest, DestroyingAnOwnerTakesItsOwnedWindowsFirst) {
  const ControlId child = load(testForm(), window);
  events.clear();
  tk.destroyWindow(window);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(tk.record(child), nullptr);
  EXPECT_EQ(tk.record(window), nullptr);
  tk.destroyWindow(window);  // twice is harmless
  EXPECT_EQ(events.size(), 2u);
}

}  // namespace
}  // namespace qovra::ui
