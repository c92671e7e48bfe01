// The user's input to the headless toolkit: each call raises the events the real toolkit
// raises for the same action, in the same order, at once.
#include <algorithm>

#include "platform/headless/headless_toolkit.h"

namespace qovra::ui {
namespace {

// Controls that take the focus when pressed.
bool takesFocus(Kind kind) { return kind == Kind::EditBox || kind == Kind::Button || kind == Kind::TreeView; }

// Controls that raise Click from a press and release of the left button.
bool clicks(Kind kind) {
  return kind == Kind::Button || kind == Kind::PictureBox || kind == Kind::PictureButton || kind == Kind::Label ||
         kind == Kind::TransparentLabel || kind == Kind::Hyperlink || kind == Kind::Panel;
}

constexpr int kTreeItemHeight = 32;  // the tree's rows follow its 32x32 pictures

}  // namespace

// Input reaches a control that is shown and enabled, in an enabled window (a window
// under a modal one is disabled).
bool HeadlessToolkit::takesInput(ControlId control) const {
  if (!isShown(control)) return false;
  for (const ControlRecord* r = rec(control); r; r = r->kind == Kind::Window ? nullptr : rec(r->parent)) {
    if (!r->enabled) return false;
  }
  return true;
}

void HeadlessToolkit::centreOf(const ControlRecord& r, int& x, int& y) const {
  if (x < 0) x = r.width / 2;
  if (y < 0) y = r.height / 2;
}

bool HeadlessToolkit::moveFocus(ControlId control) {
  if (focus_ == control) return true;
  const ControlId old = focus_;
  focus_ = control;
  if (old != 0) raise(EventKind::FocusLost, old);
  if (control != 0 && focus_ == control) raise(EventKind::FocusGot, control);
  return focus_ == control;
}

void HeadlessToolkit::setFocus(ControlId control) {
  const ControlRecord* r = rec(control);
  if (r && r->kind != Kind::Timer) moveFocus(r->kind == Kind::Window ? 0 : control);
}

void HeadlessToolkit::makeActive(ControlId window) {
  if (active_ == window) return;
  active_ = window;
  raise(EventKind::Activated, window);
}

bool HeadlessToolkit::mouseButton(EventKind kind, ControlId control, int button, int keys, int x, int y) {
  if (!takesInput(control)) return false;
  Event event = makeEvent(kind, control);
  centreOf(*rec(control), x, y);
  event.button = button;
  event.keys = keys;
  event.x = x;
  event.y = y;
  hovered_ = control;
  deliver(event);
  return true;
}

bool HeadlessToolkit::mouseDown(ControlId control, int button, int keys, int x, int y) {
  return mouseButton(EventKind::MouseDown, control, button, keys, x, y);
}

bool HeadlessToolkit::mouseUp(ControlId control, int button, int keys, int x, int y) {
  return mouseButton(EventKind::MouseUp, control, button, keys, x, y);
}

// The press is told before the focus moves (a handler of the press can still see where
// the focus was); each later step needs the control still there and taking input.
bool HeadlessToolkit::click(ControlId control, int keys) {
  if (!mouseDown(control, kLeftButton, keys)) return false;
  if (!takesInput(control)) return true;
  if (takesFocus(rec(control)->kind)) moveFocus(control);
  if (!mouseUp(control, kLeftButton, keys)) return true;
  if (takesInput(control) && clicks(rec(control)->kind)) {
    // The click carries the function keys of its press, as the gestures on a row need them.
    Event event = makeEvent(EventKind::Click, control);
    event.button = kLeftButton;
    event.keys = keys;
    deliver(event);
  }
  return true;
}

bool HeadlessToolkit::mouseMove(ControlId control, int x, int y, int keys) {
  return mouseButton(EventKind::MouseMove, control, 0, keys, x, y);
}

// The native tree view follows a press with its own wait for the release, which it keeps:
// the press, the new selection and the focus are all that is seen.
bool HeadlessToolkit::pressTreeItem(ControlId tree, int index, int keys) {
  const ControlRecord* r = rec(tree);
  if (!r || r->kind != Kind::TreeView) return false;
  const int y = index >= 0 ? index * kTreeItemHeight + kTreeItemHeight / 2 : r->height - 1;
  if (!mouseDown(tree, kLeftButton, keys, kTreeItemHeight / 2, y)) return false;
  ControlRecord* still = rec(tree);
  if (!still || !takesInput(tree)) return true;
  if (index >= 0 && index < static_cast<int>(still->items.size())) still->selected = index;
  moveFocus(tree);
  return true;
}

bool HeadlessToolkit::wheel(int x, int y, int delta, int keys) {
  if (!takesInput(active_)) return false;
  Event event = makeEvent(EventKind::Wheel, active_);
  event.x = x;
  event.y = y;
  event.delta = delta;
  event.keys = keys;
  deliver(event);
  return true;
}

bool HeadlessToolkit::focus(ControlId control) {
  const ControlRecord* r = rec(control);
  if (!r || !takesFocus(r->kind) || !takesInput(control)) return false;
  return moveFocus(control);
}

bool HeadlessToolkit::keyDown(ControlId control, int key, int keys) {
  if (!focus(control)) return false;
  Event event = makeEvent(EventKind::KeyDown, control);
  event.key = key;
  event.keys = keys;
  deliver(event);
  return event.swallow;
}

bool HeadlessToolkit::typeText(ControlId control, std::string_view text) {
  const ControlRecord* r = rec(control);
  if (!r || r->kind != Kind::EditBox || r->readOnly || !focus(control)) return false;
  if (ControlRecord* still = rec(control)) setCaption(*still, text);
  return true;
}

bool HeadlessToolkit::scroll(ControlId bar, int position) {
  ControlRecord* r = rec(bar);
  if (!r || (r->kind != Kind::HScrollBar && r->kind != Kind::VScrollBar) || !takesInput(bar)) return false;
  const int clamped = std::clamp(position, r->minimum, std::max(r->minimum, r->maximum));
  if (clamped == r->position) return true;
  r->position = clamped;
  raise(EventKind::Scrolled, bar);
  return true;
}

bool HeadlessToolkit::trayEvent(ControlId window, int trayKind) {
  if (!trayIcons_.count(window)) return false;
  Event event = makeEvent(EventKind::Tray, window);
  event.trayKind = trayKind;
  deliver(event);
  return true;
}

bool HeadlessToolkit::activate(ControlId window) {
  if (!windowRecord(window) || !takesInput(window)) return false;
  makeActive(window);
  return true;
}

void HeadlessToolkit::deactivate() { active_ = 0; }

bool HeadlessToolkit::resize(ControlId window, int width, int height) {
  ControlRecord* w = windowRecord(window);
  if (!w || !takesInput(window)) return false;
  w->maximised = false;
  width = std::max(0, width);
  height = std::max(0, height);
  if (w->width == width && w->height == height) return true;
  w->width = width;
  w->height = height;
  raise(EventKind::Resized, window);
  return true;
}

bool HeadlessToolkit::closeWindow(ControlId window) {
  if (!windowRecord(window) || !takesInput(window)) return false;
  Event event = makeEvent(EventKind::CloseQuery, window);
  const bool asked = deliver(event);
  if (windowRecord(window) && (!asked || event.allow)) destroyWindowNow(window);
  return windowRecord(window) == nullptr;
}

}  // namespace qovra::ui
