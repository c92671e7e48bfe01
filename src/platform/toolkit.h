// The window toolkit: what the box needs of windows, controls, timers, dialogs and the
// tray. Forms are declared as data (FormSpec); logic reads and writes control properties
// and receives events; a backend (win32: real windows; headless: plain records driven by
// tests) reflects them. All of it runs on the window thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qovra::platform {
class Worker;
}

namespace qovra::ui {

// A colour as Windows keeps it: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour rgb(int r, int g, int b) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
// "Use the system's own colour for this control."
constexpr Colour kSystemColour = 0xFFFFFFFFu;

enum class Kind {
  Window,
  PictureBox,
  Label,
  TransparentLabel,
  Button,
  PictureButton,
  Hyperlink,
  EditBox,
  HScrollBar,
  VScrollBar,
  ProgressBar,
  TreeView,
  Panel,
  Timer,
};

enum class Cursor { Arrow, Hand };

struct FontSpec {
  std::string face;  // empty: the system's dialog font
  int height = 0;    // character height in pixels; 0: the face's default
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// One control of a form, as designed.
struct ControlSpec {
  std::string name;    // the form name, the key by which code finds the control
  Kind kind = Kind::Label;
  std::string parent;  // form name of the parent control; empty: the window itself
  int left = 0, top = 0, width = 0, height = 0;
  std::string caption;
  FontSpec font;
  Colour textColour = kSystemColour;
  Colour backColour = kSystemColour;
  bool visible = true;
  bool enabled = true;
  Cursor cursor = Cursor::Arrow;
  int timerPeriod = 0;      // timers: initial period in ms, 0 stopped
  std::string link;         // hyperlinks: the address
  std::string picture;      // image file bytes (picture boxes and picture buttons)
  std::string hotPicture;   // picture buttons: shown while the mouse is over them
  bool multiline = false;   // edit boxes
  bool readOnly = false;    // edit boxes
  int scrollMin = 0, scrollMax = 100;  // scroll bars
};

struct FormSpec {
  std::string name;
  std::string caption;
  int left = 0, top = 0, width = 0, height = 0;  // outer size of the window
  Colour backColour = kSystemColour;
  std::string icon;  // icon file bytes
  std::vector<ControlSpec> controls;
};

// The form's controls in an order that creates every parent before its children. A
// control whose parent the form lacks comes last, after all that could be placed.
std::vector<const ControlSpec*> creationOrder(const FormSpec& form);

// Identity of a window or control inside a toolkit; 0 is "none".
using ControlId = int;

enum class Prop {
  Left, Top, Width, Height,  // in the parent's client coordinates; for windows, the screen
  ClientWidth, ClientHeight, // windows only, read only
  Visible, Enabled,
  Tag,            // text
  Caption,        // text: caption of a window, label or button; the text of an edit box
  TextColour, BackColour,
  FontBold, FontItalic, FontUnderline,
  Picture, HotPicture,  // image file bytes
  LinkAddress,    // hyperlinks
  ReadOnly,       // edit boxes
  Position, Minimum, Maximum,  // scroll bars and progress bars
  TimerPeriod,    // timers: ms, 0 stops
  Minimised, Maximised, TopMost,  // windows
  Style,          // the native window style bits (win32); headless keeps what is written
};

// Mouse buttons and the function-key state of mouse events.
enum MouseButton { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum KeyState { kCtrl = 1, kShift = 2, kAlt = 4 };

// Message-box button sets and answers, with Windows' values.
enum MessageBoxStyle : unsigned {
  kOk = 0x0,
  kOkCancel = 0x1,
  kYesNo = 0x4,
  kIconInformation = 0x40,
  kSystemModal = 0x1000,
};
enum MessageBoxAnswer { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// Tray event kinds.
enum TrayEvent { kTrayLeftUp = 1, kTrayLeftDoubleClick = 2, kTrayRightUp = 3 };

enum class EventKind {
  Created,      // the window's controls exist; runs during loadForm
  Activated,    // the window became the active one
  Resized,
  CloseQuery,   // set allow = false to keep the window open
  Destroyed,
  Click,
  MouseDown, MouseUp, MouseMove,
  Wheel,        // x, y in screen coordinates; delta as the wheel gives it (120 a notch)
  FocusGot, FocusLost,
  TextChanged,
  KeyDown,      // set swallow = true to keep the key from the control
  Scrolled,     // a scroll bar's position changed
  TimerTick,
  Tray,         // trayKind: TrayEvent
};

struct Event {
  EventKind kind = EventKind::Click;
  ControlId control = 0;  // the control that raised it (the window for window events)
  int button = 0;         // MouseButton
  int keys = 0;           // KeyState
  int x = 0, y = 0;
  int key = 0;            // virtual-key code
  int delta = 0;
  int trayKind = 0;
  bool swallow = false;
  bool allow = true;
};

using Handler = std::function<void(Event&)>;

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Windows. loadForm creates the window and its controls (hidden until shown), calls the
  // handler with Created, and returns the window. A modal form runs its own loop until the
  // window is destroyed.
  virtual ControlId loadForm(const FormSpec& form, Handler handler, ControlId owner = 0) = 0;
  virtual void showModal(ControlId window) = 0;
  virtual void destroyWindow(ControlId window) = 0;
  virtual ControlId find(ControlId window, std::string_view name) const = 0;
  virtual std::string nameOf(ControlId control) const = 0;
  virtual ControlId windowOf(ControlId control) const = 0;

  // Copies of template controls (hidden until shown) and their destruction.
  virtual ControlId copyControl(ControlId templateControl) = 0;
  virtual void destroyControl(ControlId control) = 0;
  // Moves a control under another parent, keeping its place relative to the new parent.
  virtual void setParent(ControlId control, ControlId parent) = 0;
  virtual std::string className(ControlId control) const = 0;

  virtual std::int64_t getInt(ControlId control, Prop prop) const = 0;
  virtual void setInt(ControlId control, Prop prop, std::int64_t value) = 0;
  virtual std::string getText(ControlId control, Prop prop) const = 0;
  virtual void setText(ControlId control, Prop prop, std::string_view value) = 0;
  virtual void setFocus(ControlId control) = 0;

  // The tree view used as a flat list, with its image list of 32x32 pictures.
  virtual void treeClear(ControlId tree) = 0;
  virtual int treeAdd(ControlId tree, std::string_view caption, int image, int selectedImage,
                      std::int64_t value) = 0;
  virtual int treeCount(ControlId tree) const = 0;
  virtual int treeSelected(ControlId tree) const = 0;  // -1: none
  virtual void treeSelect(ControlId tree, int index) = 0;
  virtual std::int64_t treeValue(ControlId tree, int index) const = 0;
  // Replaces the tree's image list; returns each picture's index.
  virtual std::vector<int> treeSetImages(ControlId tree, const std::vector<std::string>& pictures,
                                         Colour transparent) = 0;

  // Dialogs. messageBox shows exactly the title it is given.
  virtual int messageBox(ControlId owner, std::string_view text, std::string_view title,
                         unsigned style) = 0;
  virtual std::string clipboardText() = 0;
  virtual std::vector<std::string> openFilesDialog(ControlId owner, std::string_view title,
                                                   std::string_view filter) = 0;

  // The tray icon of a window (one per window).
  virtual bool trayAdd(ControlId window, std::string_view iconBytes, std::string_view tip) = 0;
  virtual void trayRemove(ControlId window) = 0;

  // The loop. processPendingMessages runs every handler that is due and returns.
  virtual int runMessageLoop() = 0;
  virtual void processPendingMessages() = 0;
  virtual void quit(int exitCode) = 0;

  // Time as the logic sees it, and the wait for a worker that keeps the window alive.
  virtual std::uint64_t nowMs() const = 0;
  virtual void waitForWorker(platform::Worker& worker) = 0;

  virtual int screenWidth() const = 0;
  virtual int screenHeight() const = 0;
};

// The toolkit the program runs on; set once at start (or by a test).
Toolkit& toolkit();
void setToolkit(Toolkit* toolkit);

}  // namespace qovra::ui
