// A small form with one control of each kind on the headless toolkit, and a handler that
// writes down every event it gets as "Kind:name" (plus what a test asks it to do).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless_toolkit.h"

namespace qovra::ui {

inline const char* kindName(EventKind kind) {
  switch (kind) {
    case EventKind::Created: return "Created";
    case EventKind::Activated: return "Activated";
    case EventKind::Resized: return "Resized";
    case EventKind::CloseQuery: return "CloseQuery";
    case EventKind::Destroyed: return "Destroyed";
    case EventKind::Click: return "Click";
    case EventKind::MouseDown: return "MouseDown";
    case EventKind::MouseUp: return "MouseUp";
    case EventKind::MouseMove: return "MouseMove";
    case EventKind::Wheel: return "Wheel";
    case EventKind::FocusGot: return "FocusGot";
    case EventKind::FocusLost: return "FocusLost";
    case EventKind::TextChanged: return "TextChanged";
    case EventKind::KeyDown: return "KeyDown";
    case EventKind::Scrolled: return "Scrolled";
    case EventKind::TimerTick: return "TimerTick";
    case EventKind::Tray: return "Tray";
  }
  return "?";
}

inline FormSpec testForm() {
  FormSpec form;
  form.name = "form";
  form.caption = "Test";
  form.left = 100;
  form.top = 50;
  form.width = 400;
  form.height = 300;
  ControlSpec edit{.name = "edit", .kind = Kind::EditBox, .left = 10, .top = 10, .width = 100, .height = 20};
  ControlSpec tree{.name = "tree", .kind = Kind::TreeView, .left = 10, .top = 150, .width = 100, .height = 100};
  form.controls = {
      {.name = "pane", .kind = Kind::PictureBox, .left = 0, .top = 40, .width = 300, .height = 100},
      {.name = "label", .kind = Kind::Label, .parent = "pane", .left = 5, .top = 5, .width = 80, .height = 20,
       .caption = "名称", .font = {"新宋体", 15}, .textColour = rgb(0, 0, 255), .cursor = Cursor::Hand},
      {.name = "button", .kind = Kind::Button, .parent = "pane", .left = 90, .top = 5, .width = 60, .height = 20,
       .caption = "下载"},
      {.name = "hidden", .kind = Kind::Button, .parent = "pane", .left = 160, .top = 5, .width = 60, .height = 20,
       .visible = false},
      {.name = "bar", .kind = Kind::VScrollBar, .parent = "pane", .left = 283, .top = 0, .width = 17, .height = 100,
       .scrollMin = 1, .scrollMax = 100},
      {.name = "progress", .kind = Kind::ProgressBar, .parent = "pane", .left = 5, .top = 30, .width = 200,
       .height = 20, .scrollMax = 0},
      {.name = "picture", .kind = Kind::PictureButton, .left = 320, .top = 0, .width = 64, .height = 64,
       .picture = "normal", .hotPicture = "hot"},
      edit,
      tree,
      {.name = "tick", .kind = Kind::Timer, .timerPeriod = 0},
      {.name = "tock", .kind = Kind::Timer, .parent = "pane", .timerPeriod = 0},
  };
  return form;
}

class HeadlessTest : public testing::Test {
 protected:
  void SetUp() override { window = load(testForm()); }
  void TearDown() override { EXPECT_EQ(tk.problems(), std::vector<std::string>{}); }

  ControlId load(const FormSpec& form, ControlId owner = 0) {
    return tk.loadForm(form, [this](Event& event) { onEvent(event); }, owner);
  }
  void onEvent(Event& event) {
    events.push_back(std::string(kindName(event.kind)) + ":" + tk.nameOf(event.control));
    last = event;
    if (react) react(event);
  }
  ControlId id(const char* name) const { return tk.find(window, name); }
  void show() {
    tk.setInt(window, Prop::Visible, 1);
    events.clear();
  }
  using Events = std::vector<std::string>;

  HeadlessToolkit tk;
  ControlId window = 0;
  Events events;
  Event last;
  std::function<void(Event&)> react;
};

}  // namespace qovra::ui
