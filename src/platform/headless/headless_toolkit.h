// The toolkit without a screen. Windows and controls are plain records holding every
// property; tests drive them through the injection calls below, which raise the same
// events, in the same order, as the real toolkit does for the same user action. Time is
// virtual: timers fire only when a test or a loop advances the clock, so "500 ms later"
// takes no time at all and always happens the same way.
//
// Where the real toolkit raises events from a property write, this one does too, at once
// and inside the write: a changed outer size of a window raises Resized, a new text of an
// edit box raises TextChanged, setFocus raises FocusLost then FocusGot, and showing a
// window that is not the active one makes it active and raises Activated.
//
// What a test did not foresee (a message box or a file dialog without a scripted answer,
// a modal window left open with nothing more to happen, a malformed form) is kept in
// problems(); a test fixture should expect that list to be empty.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/toolkit.h"

namespace qovra::ui {

struct TreeItem {
  std::string caption;
  int image = -1;
  int selectedImage = -1;
  std::int64_t value = 0;
};

// One window or control, with every property the toolkit offers.
struct ControlRecord {
  ControlId id = 0;
  ControlId window = 0;  // its window (itself for a window)
  ControlId parent = 0;  // the window for top-level controls; 0 for a window
  std::string name;
  Kind kind = Kind::Label;
  int left = 0, top = 0, width = 0, height = 0;
  std::string caption, tag, link, picture, hotPicture;
  FontSpec font;
  Colour textColour = kSystemColour, backColour = kSystemColour;
  bool visible = true, enabled = true, readOnly = false, multiline = false;
  Cursor cursor = Cursor::Arrow;
  int minimum = 0, maximum = 100, position = 0;  // scroll bars and progress bars
  std::int64_t style = 0;
  // Timers: the period and when the next tick is due on the virtual clock.
  int timerPeriod = 0;
  std::uint64_t dueMs = 0;
  std::uint64_t dueOrder = 0;
  // Tree views.
  std::vector<TreeItem> items;
  int selected = -1;
  std::vector<std::string> images;
  Colour imagesTransparent = 0;
  // Windows.
  Handler handler;
  ControlId owner = 0;
  bool ready = false, destroyed = false, modal = false;
  bool minimised = false, maximised = false, topMost = false;
  std::array<int, 4> restored{};  // left, top, width, height before maximising
  std::map<std::string, ControlId, std::less<>> byName;
};

class HeadlessToolkit : public Toolkit {
 public:
  // The frame a window keeps around its client area: two 8 px borders and a caption.
  static constexpr int kFrameWidth = 16;
  static constexpr int kFrameHeight = 39;
  // Where the virtual clock starts; not 0, so code that takes 0 for "never" shows itself.
  static constexpr std::uint64_t kStartMs = 1'000'000;

  HeadlessToolkit();
  ~HeadlessToolkit() override;
  HeadlessToolkit(const HeadlessToolkit&) = delete;
  HeadlessToolkit& operator=(const HeadlessToolkit&) = delete;

  // ---- the Toolkit ----------------------------------------------------------------------
  ControlId loadForm(const FormSpec& form, Handler handler, ControlId owner = 0) override;
  void showModal(ControlId window) override;
  void destroyWindow(ControlId window) override;
  ControlId find(ControlId window, std::string_view name) const override;
  std::string nameOf(ControlId control) const override;
  ControlId windowOf(ControlId control) const override;

  ControlId copyControl(ControlId templateControl) override;
  void destroyControl(ControlId control) override;
  void setParent(ControlId control, ControlId parent) override;
  std::string className(ControlId control) const override;

  std::int64_t getInt(ControlId control, Prop prop) const override;
  void setInt(ControlId control, Prop prop, std::int64_t value) override;
  std::string getText(ControlId control, Prop prop) const override;
  void setText(ControlId control, Prop prop, std::string_view value) override;
  void setFocus(ControlId control) override;

  void treeClear(ControlId tree) override;
  int treeAdd(ControlId tree, std::string_view caption, int image, int selectedImage,
              std::int64_t value) override;
  int treeCount(ControlId tree) const override;
  int treeSelected(ControlId tree) const override;
  void treeSelect(ControlId tree, int index) override;
  std::int64_t treeValue(ControlId tree, int index) const override;
  std::vector<int> treeSetImages(ControlId tree, const std::vector<std::string>& pictures,
                                 Colour transparent) override;

  int messageBox(ControlId owner, std::string_view text, std::string_view title,
                 unsigned style) override;
  std::string clipboardText() override;
  std::vector<std::string> openFilesDialog(ControlId owner, std::string_view title,
                                           std::string_view filter) override;

  bool trayAdd(ControlId window, std::string_view iconBytes, std::string_view tip) override;
  void trayRemove(ControlId window) override;

  // Runs until quit, until no window is left, until nothing more can happen (no posted
  // action, no running timer, no scheduled action) or until loopLimitMs of virtual time
  // have passed; lastLoopEnd() says which. Returns the exit code given to quit, else 0.
  int runMessageLoop() override;
  void processPendingMessages() override;
  void quit(int exitCode) override;

  std::uint64_t nowMs() const override { return now_; }
  // Keeps handling posted actions and lets the virtual clock follow the real one (timers
  // fire as they fall due) until the worker has finished.
  void waitForWorker(platform::Worker& worker) override;

  int screenWidth() const override { return screenWidth_; }
  int screenHeight() const override { return screenHeight_; }

  // ---- the records ------------------------------------------------------------------------
  const ControlRecord* record(ControlId control) const;
  // Shown on the screen: the control, every parent and its window are visible.
  bool isShown(ControlId control) const;
  // The copies and form controls under `parent`, in creation order (direct children only).
  std::vector<ControlId> childrenOf(ControlId parent) const;
  ControlId focused() const { return focus_; }
  ControlId activeWindow() const { return active_; }
  // The picture a picture button shows now: the hot one while the mouse is over it.
  std::string shownPicture(ControlId control) const;

  // Property writes made through setInt/setText, counted per control and property; a write
  // that changes nothing counts too, so callers can show that they avoid it.
  int writeCount(ControlId control) const;
  int writeCount(ControlId control, Prop prop) const;
  void resetWriteCounts();

  // ---- input, as a user makes it ---------------------------------------------------------
  // Each returns false, raising nothing, when the control cannot take input now: it is
  // not shown, it or its window is disabled, or it is gone.
  //
  // A left click: MouseDown, the focus moving to a control that takes it (edit boxes,
  // buttons, tree views), MouseUp, then Click for kinds that click (buttons, labels,
  // pictures, hyperlinks, panels). x, y: inside the control; default its middle.
  bool click(ControlId control, int keys = 0);
  bool mouseDown(ControlId control, int button, int keys = 0, int x = -1, int y = -1);
  bool mouseUp(ControlId control, int button, int keys = 0, int x = -1, int y = -1);
  bool mouseMove(ControlId control, int x = -1, int y = -1, int keys = 0);
  // A press on item `index` of a tree view (-1: its empty area, which keeps the selection).
  bool pressTreeItem(ControlId tree, int index, int keys = 0);
  // The wheel goes to the active window wherever the mouse is, as on Windows; x and y are
  // screen coordinates. False when no window is active.
  bool wheel(int x, int y, int delta, int keys = 0);
  // A key pressed in `control`, which gets the focus first if it lacks it. Returns whether
  // a handler swallowed the key.
  bool keyDown(ControlId control, int key, int keys = 0);
  // The user replaces the text of an edit box: focus as for keyDown, the new text, then
  // one TextChanged. Refused for a read-only box.
  bool typeText(ControlId control, std::string_view text);
  // The focus moves to `control` (FocusLost on the old one, then FocusGot).
  bool focus(ControlId control);
  // The user moves a scroll bar's thumb: the position (kept inside the bar's range) and,
  // when it changed, Scrolled.
  bool scroll(ControlId bar, int position);
  bool trayEvent(ControlId window, int trayKind);
  // The window becomes the active one: Activated, unless it already was.
  bool activate(ControlId window);
  // The user turns to another program: no window of the box is active.
  void deactivate();
  // The user drags the window's frame: its outer size, then Resized.
  bool resize(ControlId window, int width, int height);
  // The close box: CloseQuery, then (when allowed) the window is destroyed. Returns
  // whether it was.
  bool closeWindow(ControlId window);

  // ---- the queue and the virtual clock --------------------------------------------------
  // An action run by the next processPendingMessages or loop, after those posted before it.
  void post(std::function<void()> action);
  // An action run when the virtual clock reaches now + delayMs.
  void schedule(std::uint64_t delayMs, std::function<void()> action);
  // Moves the clock forward, running each due timer tick and scheduled action at its own
  // time, in time order, with posted actions handled in between.
  void advanceTime(std::uint64_t ms);
  std::uint64_t loopLimitMs = 60'000;
  enum class LoopEnd { None, Quit, NoWindows, Idle, TimeLimit };
  LoopEnd lastLoopEnd() const { return lastLoopEnd_; }
  bool quitRequested() const { return quitPending_; }

  // ---- dialogs, clipboard, tray, screen --------------------------------------------------
  struct MessageBoxCall {
    ControlId owner = 0;
    std::string text, title;
    unsigned style = 0;
    int answer = 0;
    bool scripted = false;
  };
  void answerMessageBox(int answer) { answers_.push_back(answer); }
  const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
  std::size_t unansweredMessageBoxes() const { return answers_.size(); }

  struct FilesDialogCall {
    ControlId owner = 0;
    std::string title, filter;
    std::vector<std::string> chosen;
  };
  void answerFilesDialog(std::vector<std::string> chosen) { fileAnswers_.push_back(std::move(chosen)); }
  const std::vector<FilesDialogCall>& filesDialogs() const { return filesDialogs_; }

  // A script run when the next modal window opens (after its own Created), given that window.
  void scriptModal(std::function<void(ControlId window)> script) { modalScripts_.push_back(std::move(script)); }

  void setClipboardText(std::string text) { clipboard_ = std::move(text); }

  struct TrayCall {
    bool add = true;  // false: removed
    ControlId window = 0;
    std::string icon, tip;
  };
  const std::vector<TrayCall>& trayCalls() const { return trayCalls_; }
  // The tray icon a window shows now, if any.
  std::optional<TrayCall> trayIcon(ControlId window) const;

  void setScreenSize(int width, int height) {
    screenWidth_ = width;
    screenHeight_ = height;
  }

  const std::vector<std::string>& problems() const { return problems_; }
  void clearProblems() { problems_.clear(); }

 private:
  struct Scheduled {
    std::uint64_t dueMs, order;
    std::function<void()> action;
  };

  ControlRecord* rec(ControlId control) const;
  ControlRecord* windowRecord(ControlId window) const;
  void problem(std::string text) { problems_.push_back(std::move(text)); }
  bool deliver(Event& event);
  bool raise(EventKind kind, ControlId control);
  Event makeEvent(EventKind kind, ControlId control) const;

  ControlRecord& addRecord(ControlRecord record);
  void createControls(ControlRecord& window, const FormSpec& form);
  ControlRecord* createControl(ControlRecord& window, ControlId parent, const ControlSpec& design);
  void forget(ControlId control);
  void forgetSubtree(ControlId control);
  void destroyWindowNow(ControlId window);

  void setGeometry(ControlRecord& r, Prop prop, int value);
  void setWindowState(ControlRecord& r, Prop prop, bool on);
  void setVisible(ControlRecord& r, bool visible);
  void setRange(ControlRecord& r, Prop prop, int value);
  void setTimer(ControlRecord& r, int period);
  void setCaption(ControlRecord& r, std::string_view text);
  void countWrite(ControlId control, Prop prop);

  bool takesInput(ControlId control) const;
  bool moveFocus(ControlId control);
  void makeActive(ControlId window);
  void centreOf(const ControlRecord& r, int& x, int& y) const;
  bool mouseButton(EventKind kind, ControlId control, int button, int keys, int x, int y);

  bool deliverPosted();
  // The earliest due timer tick or scheduled action at or before `limit`; runs it.
  bool runNextDue(std::uint64_t limit);
  std::optional<std::uint64_t> nextDueMs() const;
  bool anyWindowAlive() const;
  LoopEnd runLoop(ControlId modalWindow);

  std::map<ControlId, std::unique_ptr<ControlRecord>> records_;
  // Indexes over records_, so that a catalogue of thousands of controls costs no scan of
  // them all on every pump of the loop or destruction of a copy.
  std::map<ControlId, std::set<ControlId>> children_;  // controls (not windows) by parent
  std::set<ControlId> timers_;
  ControlId nextId_ = 1;
  ControlId focus_ = 0, active_ = 0, hovered_ = 0;
  std::uint64_t now_ = kStartMs;
  std::uint64_t nextOrder_ = 1;
  std::deque<std::function<void()>> posted_;
  std::vector<Scheduled> scheduled_;
  bool quitPending_ = false;
  int exitCode_ = 0;
  LoopEnd lastLoopEnd_ = LoopEnd::None;
  std::map<std::pair<ControlId, Prop>, int> writes_;

  std::deque<int> answers_;
  std::vector<MessageBoxCall> messageBoxes_;
  std::deque<std::vector<std::string>> fileAnswers_;
  std::vector<FilesDialogCall> filesDialogs_;
  std::deque<std::function<void(ControlId)>> modalScripts_;
  std::string clipboard_;
  std::vector<TrayCall> trayCalls_;
  std::map<ControlId, TrayCall> trayIcons_;
  int screenWidth_ = 1920, screenHeight_ = 1080;
  std::vector<std::string> problems_;
};

}  // namespace qovra::ui
