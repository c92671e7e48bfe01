// Forms, controls and their properties of the headless toolkit.
#include "platform/headless/headless_toolkit.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace qovra::ui {
namespace {

bool isScrollBar(Kind kind) { return kind == Kind::HScrollBar || kind == Kind::VScrollBar; }
bool hasRange(Kind kind) { return isScrollBar(kind) || kind == Kind::ProgressBar; }

std::int64_t parseNumber(std::string_view text) {
  std::int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The pictures an image list can take: BMP, PNG, GIF, JPEG and ICO file bytes.
bool looksLikePicture(std::string_view bytes) {
  auto startsWith = [&](std::string_view head) { return bytes.substr(0, head.size()) == head; };
  return startsWith("BM") || startsWith("\x89PNG\r\n\x1a\n") || startsWith("GIF8") ||
         startsWith("\xFF\xD8\xFF") || (bytes.size() > 6 && startsWith(std::string_view("\0\0\1\0", 4)));
}

}  // namespace

HeadlessToolkit::HeadlessToolkit() = default;

// The logic may already be gone: windows are taken down without events.
HeadlessToolkit::~HeadlessToolkit() = default;

ControlRecord* HeadlessToolkit::rec(ControlId control) const {
  auto it = records_.find(control);
  return it == records_.end() ? nullptr : it->second.get();
}

ControlRecord* HeadlessToolkit::windowRecord(ControlId window) const {
  ControlRecord* r = rec(window);
  return r && r->kind == Kind::Window && !r->destroyed ? r : nullptr;
}

const ControlRecord* HeadlessToolkit::record(ControlId control) const { return rec(control); }

ControlRecord& HeadlessToolkit::addRecord(ControlRecord record) {
  record.id = nextId_++;
  auto owned = std::make_unique<ControlRecord>(std::move(record));
  ControlRecord& r = *owned;
  records_.emplace(r.id, std::move(owned));
  if (r.kind != Kind::Window) children_[r.parent].insert(r.id);
  if (r.kind == Kind::Timer) timers_.insert(r.id);
  return r;
}

// ---- events ------------------------------------------------------------------------------

Event HeadlessToolkit::makeEvent(EventKind kind, ControlId control) const {
  Event event;
  event.kind = kind;
  event.control = control;
  return event;
}

bool HeadlessToolkit::deliver(Event& event) {
  ControlRecord* control = rec(event.control);
  ControlRecord* window = control ? rec(control->window) : nullptr;
  if (!window || !window->ready || window->destroyed || !window->handler) return false;
  Handler handler = window->handler;  // the handler may destroy its own window
  handler(event);
  return true;
}

bool HeadlessToolkit::raise(EventKind kind, ControlId control) {
  Event event = makeEvent(kind, control);
  return deliver(event);
}

// ---- forms -------------------------------------------------------------------------------

ControlId HeadlessToolkit::loadForm(const FormSpec& form, Handler handler, ControlId owner) {
  ControlRecord w;
  w.kind = Kind::Window;
  w.name = form.name;
  w.caption = form.caption;
  w.left = form.left;
  w.top = form.top;
  w.width = std::max(0, form.width);
  w.height = std::max(0, form.height);
  w.backColour = form.backColour;
  w.picture = form.icon;
  w.visible = false;  // until shown
  w.handler = std::move(handler);
  w.owner = windowRecord(owner) ? owner : 0;
  ControlRecord& window = addRecord(std::move(w));
  window.window = window.id;
  createControls(window, form);
  window.ready = true;
  const ControlId id = window.id;
  raise(EventKind::Created, id);
  return rec(id) ? id : 0;
}

// A control whose parent the form lacks goes on the window itself, and the form's fault is
// kept as a problem.
void HeadlessToolkit::createControls(ControlRecord& window, const FormSpec& form) {
  for (const ControlSpec* design : creationOrder(form)) {
    ControlId parent = window.id;
    if (!design->parent.empty()) {
      auto it = window.byName.find(design->parent);
      if (it != window.byName.end()) {
        parent = it->second;
      } else {
        problem("form " + form.name + ": " + design->name + " names the missing parent " + design->parent);
      }
    }
    ControlRecord* made = createControl(window, parent, *design);
    if (made && !window.byName.try_emplace(design->name, made->id).second) {
      problem("form " + form.name + ": the name " + design->name + " is used twice");
    }
  }
}

ControlRecord* HeadlessToolkit::createControl(ControlRecord& window, ControlId parent, const ControlSpec& design) {
  ControlRecord* parentRecord = rec(parent);
  if (!parentRecord || parentRecord->kind == Kind::Timer) return nullptr;
  ControlRecord r;
  r.window = window.id;
  r.parent = parent;
  r.name = design.name;
  r.kind = design.kind;
  r.left = design.left;
  r.top = design.top;
  r.width = std::max(0, design.width);
  r.height = std::max(0, design.height);
  r.caption = design.caption;
  r.link = design.link;
  r.picture = design.picture;
  r.hotPicture = design.hotPicture;
  r.font = design.font;
  r.textColour = design.textColour;
  r.backColour = design.backColour;
  r.visible = design.visible;
  r.enabled = design.enabled;
  r.cursor = design.cursor;
  r.multiline = design.multiline;
  r.readOnly = design.kind == Kind::EditBox && design.readOnly;
  if (hasRange(design.kind)) {
    // A progress bar given no range gets the usual 0..100.
    const bool noRange = design.kind == Kind::ProgressBar && design.scrollMin == 0 && design.scrollMax == 0;
    r.minimum = noRange ? 0 : design.scrollMin;
    r.maximum = noRange ? 100 : std::max(design.scrollMin, design.scrollMax);
    r.position = r.minimum;
  }
  ControlRecord& made = addRecord(std::move(r));
  if (made.kind == Kind::Timer) setTimer(made, design.timerPeriod);
  return &made;
}

void HeadlessToolkit::destroyWindow(ControlId window) {
  if (windowRecord(window)) destroyWindowNow(window);
}

// Owned windows go first, as on Windows; then Destroyed, then the records.
void HeadlessToolkit::destroyWindowNow(ControlId window) {
  std::vector<ControlId> owned;
  for (const auto& [id, r] : records_)
    if (r->kind == Kind::Window && r->owner == window && !r->destroyed) owned.push_back(id);
  for (ControlId id : owned)
    if (windowRecord(id)) destroyWindowNow(id);
  if (!windowRecord(window)) return;
  raise(EventKind::Destroyed, window);
  ControlRecord* w = windowRecord(window);
  if (!w) return;
  w->destroyed = true;
  trayRemove(window);
  if (active_ == window) active_ = 0;
  forgetSubtree(window);
}

void HeadlessToolkit::forget(ControlId control) {
  if (focus_ == control) focus_ = 0;
  if (hovered_ == control) hovered_ = 0;
  if (const ControlRecord* r = rec(control); r && r->kind != Kind::Window) {
    auto siblings = children_.find(r->parent);
    if (siblings != children_.end() && siblings->second.erase(control) && siblings->second.empty())
      children_.erase(siblings);
  }
  children_.erase(control);
  timers_.erase(control);
  records_.erase(control);
}

void HeadlessToolkit::forgetSubtree(ControlId control) {
  for (ControlId child : childrenOf(control)) forgetSubtree(child);
  forget(control);
}

ControlId HeadlessToolkit::find(ControlId window, std::string_view name) const {
  const ControlRecord* w = windowRecord(window);
  if (!w) return 0;
  auto it = w->byName.find(name);
  return it == w->byName.end() || !rec(it->second) ? 0 : it->second;
}

std::string HeadlessToolkit::nameOf(ControlId control) const {
  const ControlRecord* r = rec(control);
  return r ? r->name : std::string();
}

ControlId HeadlessToolkit::windowOf(ControlId control) const {
  const ControlRecord* r = rec(control);
  return r ? r->window : 0;
}

std::vector<ControlId> HeadlessToolkit::childrenOf(ControlId parent) const {
  auto it = children_.find(parent);
  if (it == children_.end()) return {};
  return {it->second.begin(), it->second.end()};
}

// ---- copies --------------------------------------------------------------------------------

// A copy has the template's kind, parent, place, size, texts, font, colours, cursor,
// pictures, range and style bits; it starts hidden, untagged, stopped (timers) and empty
// (tree views). It carries the template's name but is not found by it.
ControlId HeadlessToolkit::copyControl(ControlId templateControl) {
  const ControlRecord* t = rec(templateControl);
  if (!t || t->kind == Kind::Window || !rec(t->parent)) return 0;
  ControlRecord copy = *t;
  copy.visible = false;
  copy.tag.clear();
  copy.timerPeriod = 0;
  copy.items.clear();
  copy.selected = -1;
  copy.images.clear();
  copy.position = copy.minimum;
  return addRecord(std::move(copy)).id;
}

void HeadlessToolkit::destroyControl(ControlId control) {
  const ControlRecord* r = rec(control);
  if (!r || r->kind == Kind::Window) return;
  forgetSubtree(control);
}

// The numbers of the place stay; they now count inside the new parent. A control cannot
// go under itself, one of its own children, a timer or another window.
void HeadlessToolkit::setParent(ControlId control, ControlId parent) {
  ControlRecord* r = rec(control);
  const ControlRecord* p = rec(parent);
  if (!r || !p || r->kind == Kind::Window || p->kind == Kind::Timer || r->window != p->window) return;
  for (const ControlRecord* up = p; up; up = up->kind == Kind::Window ? nullptr : rec(up->parent)) {
    if (up->id == control) {
      problem("setParent: " + r->name + " cannot go under itself or its own child " + p->name);
      return;
    }
  }
  children_[r->parent].erase(control);
  children_[parent].insert(control);
  r->parent = parent;
}

std::string HeadlessToolkit::className(ControlId control) const {
  const ControlRecord* r = rec(control);
  if (!r) return {};
  switch (r->kind) {
    case Kind::Window: return "QovraWindow";
    case Kind::Label: case Kind::TransparentLabel: case Kind::Hyperlink: return "Static";
    case Kind::Button: return "Button";
    case Kind::EditBox: return "Edit";
    case Kind::HScrollBar: case Kind::VScrollBar: return "ScrollBar";
    case Kind::ProgressBar: return "msctls_progress32";
    case Kind::TreeView: return "SysTreeView32";
    case Kind::PictureBox: case Kind::PictureButton: case Kind::Panel: return "QovraPane";
    case Kind::Timer: return {};
  }
  return {};
}

bool HeadlessToolkit::isShown(ControlId control) const {
  const ControlRecord* r = rec(control);
  if (!r || r->kind == Kind::Timer) return false;
  for (; r; r = r->kind == Kind::Window ? nullptr : rec(r->parent)) {
    if (!r->visible || r->destroyed || (r->kind == Kind::Window && r->minimised)) return false;
  }
  return true;
}

std::string HeadlessToolkit::shownPicture(ControlId control) const {
  const ControlRecord* r = rec(control);
  if (!r) return {};
  const bool hot = r->kind == Kind::PictureButton && hovered_ == control && !r->hotPicture.empty();
  return hot ? r->hotPicture : r->picture;
}

// ---- properties --------------------------------------------------------------------------

void HeadlessToolkit::countWrite(ControlId control, Prop prop) { ++writes_[{control, prop}]; }

int HeadlessToolkit::writeCount(ControlId control) const {
  int total = 0;
  for (auto it = writes_.lower_bound({control, Prop{}}); it != writes_.end() && it->first.first == control; ++it)
    total += it->second;
  return total;
}

int HeadlessToolkit::writeCount(ControlId control, Prop prop) const {
  auto it = writes_.find({control, prop});
  return it == writes_.end() ? 0 : it->second;
}

void HeadlessToolkit::resetWriteCounts() { writes_.clear(); }

std::int64_t HeadlessToolkit::getInt(ControlId control, Prop prop) const {
  const ControlRecord* r = rec(control);
  if (!r) return 0;
  const bool window = r->kind == Kind::Window;
  switch (prop) {
    case Prop::Left: return r->left;
    case Prop::Top: return r->top;
    case Prop::Width: return r->width;
    case Prop::Height: return r->height;
    case Prop::ClientWidth: return window ? std::max(0, r->width - kFrameWidth) : r->width;
    case Prop::ClientHeight: return window ? std::max(0, r->height - kFrameHeight) : r->height;
    // A timer counts as visible and enabled while it runs.
    case Prop::Visible: return r->kind == Kind::Timer ? r->timerPeriod > 0 : r->visible;
    case Prop::Enabled: return r->kind == Kind::Timer ? r->timerPeriod > 0 : r->enabled;
    case Prop::TextColour: return r->textColour;
    case Prop::BackColour: return r->backColour;
    case Prop::FontBold: return r->font.bold;
    case Prop::FontItalic: return r->font.italic;
    case Prop::FontUnderline: return r->font.underline;
    case Prop::ReadOnly: return r->readOnly;
    case Prop::Position: return hasRange(r->kind) ? r->position : 0;
    case Prop::Minimum: return hasRange(r->kind) ? r->minimum : 0;
    case Prop::Maximum: return hasRange(r->kind) ? r->maximum : 0;
    case Prop::TimerPeriod: return r->timerPeriod;
    case Prop::Minimised: return window && r->minimised;
    case Prop::Maximised: return window && r->maximised;
    case Prop::TopMost: return window && r->topMost;
    case Prop::Style: return r->style;
    case Prop::Tag: case Prop::Caption: case Prop::Picture: case Prop::HotPicture: case Prop::LinkAddress:
      return parseNumber(getText(control, prop));
  }
  return 0;
}

std::string HeadlessToolkit::getText(ControlId control, Prop prop) const {
  const ControlRecord* r = rec(control);
  if (!r) return {};
  switch (prop) {
    case Prop::Tag: return r->tag;
    case Prop::Caption: return r->caption;
    case Prop::Picture: return r->picture;
    case Prop::HotPicture: return r->hotPicture;
    case Prop::LinkAddress: return r->link;
    default: return std::to_string(getInt(control, prop));
  }
}

void HeadlessToolkit::setInt(ControlId control, Prop prop, std::int64_t value) {
  if (prop == Prop::Tag || prop == Prop::Caption || prop == Prop::Picture || prop == Prop::HotPicture ||
      prop == Prop::LinkAddress) {
    setText(control, prop, std::to_string(value));
    return;
  }
  ControlRecord* r = rec(control);
  if (!r) return;
  countWrite(control, prop);
  const int v = static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
  switch (prop) {
    case Prop::Left: case Prop::Top: case Prop::Width: case Prop::Height:
      setGeometry(*r, prop, v);
      return;
    case Prop::Visible:
      setVisible(*r, value != 0);
      return;
    case Prop::Enabled:
      if (r->kind != Kind::Timer) r->enabled = value != 0;
      return;
    case Prop::TextColour:
      r->textColour = static_cast<Colour>(value);
      return;
    case Prop::BackColour:
      r->backColour = static_cast<Colour>(value);
      return;
    case Prop::FontBold: r->font.bold = value != 0; return;
    case Prop::FontItalic: r->font.italic = value != 0; return;
    case Prop::FontUnderline: r->font.underline = value != 0; return;
    case Prop::ReadOnly:
      if (r->kind == Kind::EditBox) r->readOnly = value != 0;
      return;
    case Prop::Position: case Prop::Minimum: case Prop::Maximum:
      setRange(*r, prop, v);
      return;
    case Prop::TimerPeriod:
      if (r->kind == Kind::Timer) setTimer(*r, v);
      return;
    case Prop::Minimised: case Prop::Maximised: case Prop::TopMost:
      if (r->kind == Kind::Window) setWindowState(*r, prop, value != 0);
      return;
    case Prop::Style:
      r->style = static_cast<std::uint32_t>(value);
      return;
    default:
      return;  // the client size is read only; the texts went to setText above
  }
}

void HeadlessToolkit::setText(ControlId control, Prop prop, std::string_view value) {
  ControlRecord* r = rec(control);
  if (!r) return;
  switch (prop) {
    case Prop::Tag: countWrite(control, prop); r->tag = std::string(value); return;
    case Prop::Caption: countWrite(control, prop); setCaption(*r, value); return;
    case Prop::Picture: countWrite(control, prop); r->picture = std::string(value); return;
    case Prop::HotPicture: countWrite(control, prop); r->hotPicture = std::string(value); return;
    case Prop::LinkAddress: countWrite(control, prop); r->link = std::string(value); return;
    default: setInt(control, prop, parseNumber(value)); return;
  }
}

// An edit box tells of every new text, the program's own included, as Windows' does.
void HeadlessToolkit::setCaption(ControlRecord& r, std::string_view text) {
  r.caption = std::string(text);
  if (r.kind == Kind::EditBox) raise(EventKind::TextChanged, r.id);
}

void HeadlessToolkit::setGeometry(ControlRecord& r, Prop prop, int value) {
  if (prop == Prop::Width || prop == Prop::Height) value = std::max(0, value);
  int& field = prop == Prop::Left ? r.left : prop == Prop::Top ? r.top : prop == Prop::Width ? r.width : r.height;
  const bool resized = field != value && (prop == Prop::Width || prop == Prop::Height);
  field = value;
  if (resized && r.kind == Kind::Window && !r.minimised) raise(EventKind::Resized, r.id);
}

// Showing a window makes it the active one; hiding the control that holds the focus (or a
// parent of it) takes the focus away.
void HeadlessToolkit::setVisible(ControlRecord& r, bool visible) {
  if (r.kind == Kind::Timer) return;
  const ControlId id = r.id;
  r.visible = visible;
  if (r.kind == Kind::Window) {
    if (visible) {
      makeActive(id);
    } else if (active_ == id) {
      active_ = 0;
    }
    return;
  }
  if (!visible && focus_ != 0 && !isShown(focus_)) moveFocus(0);
}

void HeadlessToolkit::setRange(ControlRecord& r, Prop prop, int value) {
  if (!hasRange(r.kind)) return;
  if (prop == Prop::Minimum) r.minimum = value;
  if (prop == Prop::Maximum) r.maximum = value;
  if (prop == Prop::Position) r.position = value;
  // The position always stays inside the range, as the native bars keep it.
  r.position = std::clamp(r.position, r.minimum, std::max(r.minimum, r.maximum));
}

void HeadlessToolkit::setWindowState(ControlRecord& r, Prop prop, bool on) {
  const ControlId id = r.id;
  if (prop == Prop::TopMost) {
    r.topMost = on;
  } else if (prop == Prop::Minimised) {
    if (r.minimised == on) return;
    r.minimised = on;
    if (on && active_ == id) active_ = 0;
    if (!on) raise(EventKind::Resized, id);
  } else if (on != r.maximised) {
    r.maximised = on;
    if (on) {
      r.restored = {r.left, r.top, r.width, r.height};
      r.left = 0;
      r.top = 0;
      r.width = screenWidth_;
      r.height = screenHeight_;
    } else {
      r.left = r.restored[0];
      r.top = r.restored[1];
      r.width = r.restored[2];
      r.height = r.restored[3];
    }
    raise(EventKind::Resized, id);
  }
}

// ---- the tree view -------------------------------------------------------------------------

void HeadlessToolkit::treeClear(ControlId tree) {
  ControlRecord* r = rec(tree);
  if (!r || r->kind != Kind::TreeView) return;
  r->items.clear();
  r->selected = -1;
}

int HeadlessToolkit::treeAdd(ControlId tree, std::string_view caption, int image, int selectedImage,
                             std::int64_t value) {
  ControlRecord* r = rec(tree);
  if (!r || r->kind != Kind::TreeView) return -1;
  r->items.push_back({std::string(caption), image, selectedImage, value});
  return static_cast<int>(r->items.size()) - 1;
}

int HeadlessToolkit::treeCount(ControlId tree) const {
  const ControlRecord* r = rec(tree);
  return r && r->kind == Kind::TreeView ? static_cast<int>(r->items.size()) : 0;
}

int HeadlessToolkit::treeSelected(ControlId tree) const {
  const ControlRecord* r = rec(tree);
  return r && r->kind == Kind::TreeView ? r->selected : -1;
}

void HeadlessToolkit::treeSelect(ControlId tree, int index) {
  ControlRecord* r = rec(tree);
  if (!r || r->kind != Kind::TreeView) return;
  r->selected = index >= 0 && index < static_cast<int>(r->items.size()) ? index : -1;
}

std::int64_t HeadlessToolkit::treeValue(ControlId tree, int index) const {
  const ControlRecord* r = rec(tree);
  if (!r || r->kind != Kind::TreeView || index < 0 || index >= static_cast<int>(r->items.size())) return 0;
  return r->items[static_cast<std::size_t>(index)].value;
}

// A picture that is no image file gets index -1, so the others keep the indexes their
// rows expect, as with the native image list.
std::vector<int> HeadlessToolkit::treeSetImages(ControlId tree, const std::vector<std::string>& pictures,
                                                Colour transparent) {
  std::vector<int> indexes;
  ControlRecord* r = rec(tree);
  if (!r || r->kind != Kind::TreeView) return indexes;
  r->images.clear();
  r->imagesTransparent = transparent;
  for (const std::string& picture : pictures) {
    if (looksLikePicture(picture)) {
      indexes.push_back(static_cast<int>(r->images.size()));
      r->images.push_back(picture);
    } else {
      indexes.push_back(-1);
    }
  }
  return indexes;
}

}  // namespace qovra::ui
