// The inner records of the Win32 toolkit, shared by its source files.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_toolkit.h"

namespace qovra::ui::win32 {

// The private message of tray icon events, and the one icon a window has there.
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTrayId = 1;

using platform::win32::narrowText;
using platform::win32::wideText;

// A decoded picture: a 32-bit top-down DIB section. With alpha, its pixels are
// premultiplied (as AlphaBlend wants them).
class Picture {
 public:
  Picture() = default;
  Picture(HBITMAP bitmap, int width, int height, bool alpha)
      : bitmap_(bitmap), width_(width), height_(height), alpha_(alpha) {}
  ~Picture() { reset(); }
  Picture(Picture&& other) noexcept { *this = std::move(other); }
  Picture& operator=(Picture&& other) noexcept;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  explicit operator bool() const { return bitmap_ != nullptr; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool alpha() const { return alpha_; }

 private:
  void reset();
  HBITMAP bitmap_ = nullptr;
  int width_ = 0, height_ = 0;
  bool alpha_ = false;
};

// Image file bytes (BMP; PNG, JPEG, GIF and ICO through WIC) to a picture; an empty
// picture for anything that does not decode.
Picture decodePicture(std::string_view bytes);
// Draws the picture at the top left of the rectangle, scaled down to fit when larger.
void drawPicture(HDC dc, const Picture& picture, const RECT& area);
// A bitmap of exactly width x height for image lists: the background colour with the
// picture stretched onto it (nothing but the background for an empty picture).
HBITMAP tileBitmap(const Picture& picture, int width, int height, COLORREF background);
// The icon of an .ico file's entry that best fits width x height; null on bad bytes.
HICON iconFromFileBytes(std::string_view bytes, int width, int height);

struct Record {
  ControlId id = 0;
  ControlId window = 0;  // the top-level window of the control (itself for windows)
  ControlId parent = 0;  // 0 for windows: the owner is kept in `owner`
  std::string name;
  Kind kind = Kind::Label;
  HWND hwnd = nullptr;  // null for timers
  WNDPROC previousProc = nullptr;

  std::string tag;
  std::string link;
  std::string pictureBytes, hotPictureBytes;
  Picture picture, hotPicture;
  FontSpec font;
  Colour textColour = kSystemColour;
  Colour backColour = kSystemColour;
  Cursor cursor = Cursor::Arrow;
  bool multiline = false;
  bool hot = false;            // picture buttons: the mouse is over it
  bool leftPressed = false;    // a left press started on this control (click detection)
  bool swallowChar = false;    // the key just swallowed produces a character to drop too

  // Timers (no window of their own).
  int timerPeriod = 0;
  int left = 0, top = 0, width = 0, height = 0;

  // Tree views: items in order with their values.
  std::vector<HTREEITEM> items;
  std::vector<std::int64_t> values;
  HIMAGELIST images = nullptr;

  // Windows.
  Handler handler;
  ControlId owner = 0;
  std::map<std::string, ControlId, std::less<>> byName;
  HICON icon = nullptr;
  HICON trayIcon = nullptr;
  std::wstring trayTip;
  bool trayShown = false;
  bool modal = false;      // shown by showModal: its owner is disabled meanwhile
  bool ready = false;      // the form's controls all exist: events may flow
  bool destroyed = false;
};

}  // namespace qovra::ui::win32

namespace qovra::ui {

struct Win32Toolkit::Impl {
  std::unordered_map<ControlId, std::unique_ptr<win32::Record>> records;
  std::unordered_map<HWND, ControlId> byHwnd;
  ControlId nextId = 1;
  bool quitPending = false;
  int exitCode = 0;
  UINT taskbarCreated = 0;
  bool comInitialised = false;
  std::map<std::wstring, HFONT> fonts;     // one font per face/height/style in use
  std::map<COLORREF, HBRUSH> brushes;      // one brush per background colour in use

  win32::Record* record(ControlId id) const;
  win32::Record* recordOf(HWND hwnd) const;
  HFONT font(const FontSpec& design);
  HBRUSH brush(COLORREF colour);
  bool addTrayIcon(win32::Record& window, DWORD action);
  void removeTrayIcon(win32::Record& window);
};

}  // namespace qovra::ui
