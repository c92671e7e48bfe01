// The Win32 toolkit: forms become real windows, controls real child windows, and window
// messages become the toolkit's events. One window procedure serves every window the
// toolkit owns: its own classes (windows, picture boxes, panels) and the standard
// controls it subclasses, because notifications (WM_COMMAND, WM_CTLCOLOR*, scrolling)
// arrive at whatever the parent is, including a progress bar holding a label.
#include <objbase.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/win32/win32_toolkit_internal.h"
#include "platform/worker.h"

namespace qovra::ui {

using win32::Record;
using win32::kTrayMessage;

namespace {

constexpr wchar_t kWindowClass[] = L"QovraWindow";
constexpr wchar_t kPaneClass[] = L"QovraPane";

// The toolkit whose windows the procedure serves; one exists at a time.
Win32Toolkit::Impl* current = nullptr;

LRESULT CALLBACK toolkitProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void registerClasses(HINSTANCE instance) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = toolkitProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  cls.lpszClassName = kWindowClass;
  RegisterClassExW(&cls);
  cls.style = CS_DBLCLKS;
  cls.lpszClassName = kPaneClass;
  RegisterClassExW(&cls);
}

int keyState(WPARAM mouseKeys) {
  int keys = 0;
  if (mouseKeys & MK_CONTROL) keys |= kCtrl;
  if (mouseKeys & MK_SHIFT) keys |= kShift;
  if (GetKeyState(VK_MENU) < 0) keys |= kAlt;
  return keys;
}

int currentKeyState() {
  WPARAM keys = (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0) | (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0);
  return keyState(keys);
}

bool hasWindow(const Record& r) { return r.hwnd != nullptr; }

RECT placeInParent(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  HWND parent = GetParent(hwnd);
  if (parent && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

void moveWindow(HWND hwnd, int left, int top, int width, int height) {
  SetWindowPos(hwnd, nullptr, left, top, std::max(0, width), std::max(0, height),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Standard class and style of each kind of control.
struct ClassAndStyle {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

ClassAndStyle classFor(const ControlSpec& design) {
  switch (design.kind) {
    case Kind::Label:
    case Kind::TransparentLabel:
    case Kind::Hyperlink:
      return {L"STATIC", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0};
    case Kind::Button:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::EditBox:
      return {L"EDIT",
              static_cast<DWORD>(WS_TABSTOP |
                                 (design.multiline ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN
                                                 : ES_AUTOHSCROLL) |
                                 (design.readOnly ? ES_READONLY : 0)),
              WS_EX_CLIENTEDGE};
    case Kind::HScrollBar:
      return {L"SCROLLBAR", SBS_HORZ, 0};
    case Kind::VScrollBar:
      return {L"SCROLLBAR", SBS_VERT, 0};
    case Kind::ProgressBar:
      return {PROGRESS_CLASSW, 0, 0};
    case Kind::TreeView:
      return {WC_TREEVIEWW, TVS_SHOWSELALWAYS | TVS_FULLROWSELECT | TVS_NOHSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case Kind::PictureBox:
    case Kind::PictureButton:
    case Kind::Panel:
    case Kind::Window:
    case Kind::Timer:
      break;
  }
  return {kPaneClass, 0, 0};
}

bool isScrollBar(Kind kind) { return kind == Kind::HScrollBar || kind == Kind::VScrollBar; }

// Kinds that raise Click from a press and release of the left button on them; the
// others have their own notion of a click (buttons) or none.
bool clicksByMouse(Kind kind) {
  return kind == Kind::PictureBox || kind == Kind::PictureButton || kind == Kind::Label ||
         kind == Kind::TransparentLabel || kind == Kind::Hyperlink || kind == Kind::Panel;
}

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace


// ---- the inner state ---------------------------------------------------------------

Record* Win32Toolkit::Impl::record(ControlId id) const {
  auto it = records.find(id);
  return it == records.end() ? nullptr : it->second.get();
}

Record* Win32Toolkit::Impl::recordOf(HWND hwnd) const {
  auto it = byHwnd.find(hwnd);
  return it == byHwnd.end() ? nullptr : record(it->second);
}

HFONT Win32Toolkit::Impl::font(const FontSpec& design) {
  // The forms' own default is the dialog font of a Chinese Windows, 宋体 at 12 px: the
  // stock GUI font of other locales draws Chinese through font links, cut at the top.
  LOGFONTW logFont{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
  std::wstring face = design.face.empty() ? std::wstring(L"宋体") : win32::wideText(design.face);
  face.resize(std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  std::fill(std::begin(logFont.lfFaceName), std::end(logFont.lfFaceName), L'\0');
  std::copy(face.begin(), face.end(), logFont.lfFaceName);
  // The box's texts are Chinese: ask for the Chinese character set whatever the system's
  // locale, or a Western system picks a variant of the face without Chinese glyphs.
  logFont.lfCharSet = GB2312_CHARSET;
  logFont.lfHeight = -(design.height > 0 ? design.height : 12);  // negative: the character height
  logFont.lfWeight = design.bold ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = design.italic;
  logFont.lfUnderline = design.underline;
  std::wstring key = std::wstring(logFont.lfFaceName) + L"|" + std::to_wstring(logFont.lfHeight) +
                     L"|" + std::to_wstring(logFont.lfWeight) + L"|" +
                     std::to_wstring(logFont.lfItalic) + std::to_wstring(logFont.lfUnderline);
  auto [it, added] = fonts.try_emplace(key, nullptr);
  if (added) it->second = CreateFontIndirectW(&logFont);
  return it->second;
}

HBRUSH Win32Toolkit::Impl::brush(COLORREF colour) {
  auto [it, added] = brushes.try_emplace(colour, nullptr);
  if (added) it->second = CreateSolidBrush(colour);
  return it->second;
}

namespace {

// Events go to the handler of the control's window, once the window's controls all
// exist; the handler is copied because it may destroy its own window.
bool deliver(Win32Toolkit::Impl& impl, Event& event) {
  Record* control = impl.record(event.control);
  Record* window = control ? impl.record(control->window) : nullptr;
  if (!window || !window->ready || window->destroyed || !window->handler) return false;
  Handler handler = window->handler;
  handler(event);
  return true;
}

Event makeEvent(EventKind kind, ControlId control) {
  Event event;
  event.kind = kind;
  event.control = control;
  return event;
}

bool raiseSimple(Win32Toolkit::Impl& impl, EventKind kind, ControlId control) {
  Event event = makeEvent(kind, control);
  return deliver(impl, event);
}

void invalidateUnder(HWND hwnd) {
  // A transparent control shows its parent through itself: the parent repaints that
  // part before the control draws its new text.
  HWND parent = GetParent(hwnd);
  RECT rect = placeInParent(hwnd);
  if (parent) {
    InvalidateRect(parent, &rect, TRUE);
    UpdateWindow(parent);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
}

std::optional<LRESULT> controlColour(Win32Toolkit::Impl& impl, const Record& child, HDC dc) {
  bool transparent = child.kind == Kind::TransparentLabel;
  if (!transparent && child.textColour == kSystemColour && child.backColour == kSystemColour) {
    return std::nullopt;
  }
  SetTextColor(dc, child.textColour == kSystemColour ? GetSysColor(COLOR_WINDOWTEXT) : child.textColour);
  if (transparent) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
  }
  COLORREF back = child.backColour;
  if (back == kSystemColour) {
    bool editable = child.kind == Kind::EditBox &&
                    !(GetWindowLongPtrW(child.hwnd, GWL_STYLE) & ES_READONLY);
    back = GetSysColor(editable ? COLOR_WINDOW : COLOR_BTNFACE);
  }
  SetBkColor(dc, back);
  return reinterpret_cast<LRESULT>(impl.brush(back));
}

int clampScroll(HWND bar, int position) {
  int low = 0, high = 0;
  GetScrollRange(bar, SB_CTL, &low, &high);
  return std::clamp(position, low, std::max(low, high));
}

// A scroll bar's request becomes its new position, then the Scrolled event.
void onScroll(Win32Toolkit::Impl& impl, Record& bar, int request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(bar.hwnd, SB_CTL, &info);
  int page = std::max(1, (info.nMax - info.nMin) / 10);
  int position = info.nPos;
  switch (request) {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = info.nMin; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
  }
  position = clampScroll(bar.hwnd, position);
  if (position == info.nPos) return;
  SetScrollPos(bar.hwnd, SB_CTL, position, TRUE);
  raiseSimple(impl, EventKind::Scrolled, bar.id);
}

// Messages a control receives as the parent of others.
std::optional<LRESULT> parentMessage(Win32Toolkit::Impl& impl, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
      Record* child = impl.recordOf(reinterpret_cast<HWND>(lParam));
      if (child) return controlColour(impl, *child, reinterpret_cast<HDC>(wParam));
      return std::nullopt;
    }
    case WM_COMMAND: {
      Record* child = impl.recordOf(reinterpret_cast<HWND>(lParam));
      if (!child || lParam == 0) return std::nullopt;
      if (HIWORD(wParam) == BN_CLICKED && child->kind == Kind::Button) {
        raiseSimple(impl, EventKind::Click, child->id);
      } else if (HIWORD(wParam) == EN_CHANGE && child->kind == Kind::EditBox) {
        raiseSimple(impl, EventKind::TextChanged, child->id);
      }
      return 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      Record* child = impl.recordOf(reinterpret_cast<HWND>(lParam));
      if (!child || !isScrollBar(child->kind)) return std::nullopt;
      onScroll(impl, *child, LOWORD(wParam));
      return 0;
    }
    default:
      return std::nullopt;
  }
}

int mouseButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return kLeftButton;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return kRightButton;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return kMiddleButton;
    default: return 0;
  }
}

// Mouse, focus, key and cursor messages of the control itself. Returns a result when
// the message is consumed; `gone` says the handler destroyed the control.
std::optional<LRESULT> ownMessage(Win32Toolkit::Impl& impl, Record& r, UINT message, WPARAM wParam,
                                  LPARAM lParam, bool& gone) {
  const ControlId id = r.id;
  auto alive = [&] { return (gone = impl.record(id) == nullptr) == false; };
  switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      bool down = message != WM_LBUTTONUP && message != WM_RBUTTONUP && message != WM_MBUTTONUP;
      Event event = makeEvent(down ? EventKind::MouseDown : EventKind::MouseUp, id);
      event.button = mouseButtonOf(message);
      event.keys = keyState(wParam);
      event.x = GET_X_LPARAM(lParam);
      event.y = GET_Y_LPARAM(lParam);
      bool wasPressed = r.leftPressed;
      if (event.button == kLeftButton) r.leftPressed = down;
      deliver(impl, event);
      if (!alive()) return 0;
      if (!down && event.button == kLeftButton && wasPressed && clicksByMouse(r.kind)) {
        RECT client{};
        GetClientRect(r.hwnd, &client);
        POINT at{event.x, event.y};
        if (PtInRect(&client, at)) raiseSimple(impl, EventKind::Click, id);
        if (!alive()) return 0;
      }
      return std::nullopt;
    }
    case WM_MOUSEMOVE: {
      if (r.kind == Kind::PictureButton && !r.hot) {
        r.hot = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, r.hwnd, 0};
        TrackMouseEvent(&track);
        InvalidateRect(r.hwnd, nullptr, FALSE);
      }
      Event event = makeEvent(EventKind::MouseMove, id);
      event.keys = keyState(wParam);
      event.x = GET_X_LPARAM(lParam);
      event.y = GET_Y_LPARAM(lParam);
      deliver(impl, event);
      if (!alive()) return 0;
      return std::nullopt;
    }
    case WM_MOUSELEAVE:
      r.hot = false;
      r.leftPressed = false;
      InvalidateRect(r.hwnd, nullptr, FALSE);
      return std::nullopt;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      raiseSimple(impl, message == WM_SETFOCUS ? EventKind::FocusGot : EventKind::FocusLost, id);
      if (!alive()) return 0;
      return std::nullopt;
    case WM_KEYDOWN: {
      Event event = makeEvent(EventKind::KeyDown, id);
      event.key = static_cast<int>(wParam);
      event.keys = currentKeyState();
      deliver(impl, event);
      if (!alive()) return 0;
      // The character the swallowed key makes (Enter's beep, Space's blank) goes too.
      r.swallowChar = event.swallow;
      if (event.swallow) return 0;
      return std::nullopt;
    }
    case WM_CHAR:
      if (r.swallowChar) {
        r.swallowChar = false;
        return 0;
      }
      return std::nullopt;
    case WM_SETCURSOR:
      if (r.cursor == Cursor::Hand && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

void paintPane(Win32Toolkit::Impl& impl, Record& r) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(r.hwnd, &paint);
  RECT client{};
  GetClientRect(r.hwnd, &client);
  HBRUSH back = r.backColour == kSystemColour ? GetSysColorBrush(COLOR_BTNFACE) : impl.brush(r.backColour);
  FillRect(dc, &client, back);
  const win32::Picture& shown = (r.hot && r.hotPicture) ? r.hotPicture : r.picture;
  win32::drawPicture(dc, shown, client);
  EndPaint(r.hwnd, &paint);
}

void raiseTray(Win32Toolkit::Impl& impl, Record& window, LPARAM lParam) {
  int kind = 0;
  switch (LOWORD(lParam)) {
    case WM_LBUTTONUP: kind = kTrayLeftUp; break;
    case WM_LBUTTONDBLCLK: kind = kTrayLeftDoubleClick; break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: kind = kTrayRightUp; break;
    default: return;
  }
  Event event = makeEvent(EventKind::Tray, window.id);
  event.trayKind = kind;
  deliver(impl, event);
}

// Messages only top-level windows receive or act on.
std::optional<LRESULT> windowMessage(Win32Toolkit::Impl& impl, Record& w, UINT message,
                                     WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      if (w.backColour == kSystemColour) return std::nullopt;
      RECT client{};
      GetClientRect(w.hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, impl.brush(w.backColour));
      return 1;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) raiseSimple(impl, EventKind::Activated, w.id);
      return std::nullopt;
    case WM_SIZE:
      // A minimised window has no client area to lay out.
      if (wParam != SIZE_MINIMIZED) raiseSimple(impl, EventKind::Resized, w.id);
      return std::nullopt;
    case WM_CLOSE: {
      Event event = makeEvent(EventKind::CloseQuery, w.id);
      bool asked = deliver(impl, event);
      if (!asked || event.allow) DestroyWindow(w.hwnd);
      return 0;
    }
    case WM_DESTROY: {
      raiseSimple(impl, EventKind::Destroyed, w.id);
      Record* still = impl.record(w.id);
      if (!still) return std::nullopt;
      still->destroyed = true;
      impl.removeTrayIcon(*still);
      // The owner of a modal window comes back before this one goes, so Windows
      // hands the activation to it and not to some other program.
      Record* owner = still->modal ? impl.record(still->owner) : nullptr;
      if (owner && owner->hwnd) EnableWindow(owner->hwnd, TRUE);
      return std::nullopt;
    }
    case WM_TIMER: {
      Record* timer = impl.record(static_cast<ControlId>(wParam));
      if (timer && timer->kind == Kind::Timer && timer->window == w.id) {
        raiseSimple(impl, EventKind::TimerTick, timer->id);
      }
      return 0;
    }
    case WM_MOUSEWHEEL: {
      Event event = makeEvent(EventKind::Wheel, w.id);
      event.x = GET_X_LPARAM(lParam);
      event.y = GET_Y_LPARAM(lParam);
      event.delta = GET_WHEEL_DELTA_WPARAM(wParam);
      event.keys = keyState(GET_KEYSTATE_WPARAM(wParam));
      deliver(impl, event);
      return 0;
    }
    case kTrayMessage:
      raiseTray(impl, w, lParam);
      return 0;
    default:
      if (message == impl.taskbarCreated && message != 0 && w.trayShown) {
        // Explorer restarted and forgot every icon.
        impl.addTrayIcon(w, NIM_ADD);
      }
      return std::nullopt;
  }
}

void forget(Win32Toolkit::Impl& impl, Record& r);

LRESULT callPrevious(const Record* r, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (r && r->previousProc) return CallWindowProcW(r->previousProc, hwnd, message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK toolkitProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Toolkit::Impl* impl = current;
  if (message == WM_NCCREATE && impl) {
    // Own classes learn their record during creation, so no early message is missed.
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (auto* r = static_cast<Record*>(create->lpCreateParams)) {
      r->hwnd = hwnd;
      impl->byHwnd[hwnd] = r->id;
    }
  }
  Record* r = impl ? impl->recordOf(hwnd) : nullptr;
  if (!r) return DefWindowProcW(hwnd, message, wParam, lParam);
  const ControlId id = r->id;

  if (auto result = parentMessage(*impl, message, wParam, lParam)) return *result;
  if (!(r = impl->record(id))) return 0;
  bool gone = false;
  if (r->kind == Kind::Window) {
    if (auto result = windowMessage(*impl, *r, message, wParam, lParam)) return *result;
  } else if (auto result = ownMessage(*impl, *r, message, wParam, lParam, gone)) {
    return *result;
  }
  if (gone || !(r = impl->record(id))) return 0;

  if (r->kind != Kind::Window && !r->previousProc) {
    if (message == WM_PAINT) {
      paintPane(*impl, *r);
      return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
  }
  if (message == WM_PAINT && r->previousProc && GetWindow(hwnd, GW_CHILD)) {
    // A standard control that holds a control (the progress bar and its hint label)
    // paints over it: the child draws itself again on top.
    LRESULT result = callPrevious(r, hwnd, message, wParam, lParam);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return result;
  }
  if (message == WM_NCDESTROY) {
    WNDPROC previous = r->previousProc;
    forget(*impl, *r);
    if (previous) {
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return callPrevious(r, hwnd, message, wParam, lParam);
}

// Drops the record of a window that is going away; a top-level window takes its
// timers with it (their children have gone through here on their own).
void forget(Win32Toolkit::Impl& impl, Record& r) {
  const ControlId id = r.id;
  impl.byHwnd.erase(r.hwnd);
  if (r.images) ImageList_Destroy(r.images);
  if (r.icon) DestroyIcon(r.icon);
  if (r.kind == Kind::Window) {
    impl.removeTrayIcon(r);
    std::vector<ControlId> timers;
    for (auto& [otherId, other] : impl.records) {
      if (other->window == id && other->kind == Kind::Timer) timers.push_back(otherId);
    }
    for (ControlId timer : timers) impl.records.erase(timer);
  }
  impl.records.erase(id);
}

}  // namespace

// ---- construction ------------------------------------------------------------------

Win32Toolkit::Win32Toolkit() : impl_(std::make_unique<Impl>()) {
  current = impl_.get();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_BAR_CLASSES | ICC_STANDARD_CLASSES |
                                                     ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  // Pictures other than BMP decode through COM; the window thread is apartment-threaded.
  impl_->comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  impl_->taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  registerClasses(GetModuleHandleW(nullptr));
}

Win32Toolkit::~Win32Toolkit() {
  // The logic may already be gone: its windows are taken down without events.
  std::vector<HWND> windows;
  for (auto& [id, r] : impl_->records) {
    if (r->kind == Kind::Window && r->hwnd) windows.push_back(r->hwnd);
    r->handler = nullptr;
  }
  for (HWND hwnd : windows) DestroyWindow(hwnd);
  for (auto& [key, font] : impl_->fonts) DeleteObject(font);
  for (auto& [colour, brush] : impl_->brushes) DeleteObject(brush);
  if (impl_->comInitialised) CoUninitialize();
  if (current == impl_.get()) current = nullptr;
}

std::unique_ptr<Toolkit> makeWin32Toolkit() { return std::make_unique<Win32Toolkit>(); }

// ---- forms and controls --------------------------------------------------------------

namespace {

void applyScrollRange(Record& r, int minimum, int maximum) {
  if (r.kind == Kind::ProgressBar) {
    SendMessageW(r.hwnd, PBM_SETRANGE32, minimum, maximum);
  } else if (isScrollBar(r.kind)) {
    SetScrollRange(r.hwnd, SB_CTL, minimum, std::max(minimum, maximum), TRUE);
  }
}

void applyTimer(Win32Toolkit::Impl& impl, Record& timer, int period) {
  timer.timerPeriod = std::max(0, period);
  Record* window = impl.record(timer.window);
  if (!window || !window->hwnd) return;
  if (timer.timerPeriod > 0) {
    SetTimer(window->hwnd, static_cast<UINT_PTR>(timer.id), static_cast<UINT>(timer.timerPeriod), nullptr);
  } else {
    KillTimer(window->hwnd, static_cast<UINT_PTR>(timer.id));
  }
}

void applyFont(Win32Toolkit::Impl& impl, Record& r) {
  if (r.hwnd) SendMessageW(r.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(impl.font(r.font)), TRUE);
}

void setPicture(Record& r, bool hot, std::string_view bytes) {
  (hot ? r.hotPictureBytes : r.pictureBytes) = std::string(bytes);
  (hot ? r.hotPicture : r.picture) = win32::decodePicture(bytes);
  if (r.hwnd) InvalidateRect(r.hwnd, nullptr, FALSE);
}

// Creates one control under `parent` (a window or a control) as its ControlSpec describes.
Record* createControl(Win32Toolkit::Impl& impl, Record& window, Record& parent, const ControlSpec& design) {
  auto owned = std::make_unique<Record>();
  Record& r = *owned;
  r.id = impl.nextId++;
  r.window = window.id;
  r.parent = parent.id;
  r.name = design.name;
  r.kind = design.kind;
  r.link = design.link;
  r.font = design.font;
  r.textColour = design.textColour;
  r.backColour = design.backColour;
  r.cursor = design.cursor;
  r.multiline = design.multiline;
  r.left = design.left;
  r.top = design.top;
  r.width = design.width;
  r.height = design.height;
  if (design.kind == Kind::Hyperlink) {
    r.font.underline = true;
    r.cursor = Cursor::Hand;
    if (r.textColour == kSystemColour) r.textColour = rgb(0, 0, 255);
  }
  impl.records.emplace(r.id, std::move(owned));
  if (design.kind == Kind::Timer) {
    applyTimer(impl, r, design.timerPeriod);
    return &r;
  }

  ClassAndStyle cls = classFor(design);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | cls.style | (design.visible ? WS_VISIBLE : 0) |
                (design.enabled ? 0 : WS_DISABLED);
  bool own = cls.cls == kPaneClass;
  if (own) style |= WS_CLIPCHILDREN;
  HWND hwnd = CreateWindowExW(cls.exStyle, cls.cls, win32::wideText(design.caption).c_str(), style,
                              design.left, design.top, std::max(0, design.width), std::max(0, design.height),
                              parent.hwnd, nullptr, GetModuleHandleW(nullptr), own ? &r : nullptr);
  if (!hwnd) {
    impl.records.erase(r.id);
    return nullptr;
  }
  if (!own) {
    r.hwnd = hwnd;
    impl.byHwnd[hwnd] = r.id;
    r.previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(toolkitProc)));
  }
  applyFont(impl, r);
  applyScrollRange(r, design.scrollMin, design.scrollMax);
  if (design.kind == Kind::ProgressBar && design.scrollMin == 0 && design.scrollMax == 0) {
    applyScrollRange(r, 0, 100);
  }
  if (!design.picture.empty()) setPicture(r, false, design.picture);
  if (!design.hotPicture.empty()) setPicture(r, true, design.hotPicture);
  return &r;
}

// Creates the form's controls; one whose parent does not exist (or could not be made)
// goes on the window itself.
void createControls(Win32Toolkit::Impl& impl, Record& window, const FormSpec& form) {
  for (const ControlSpec* design : creationOrder(form)) {
    Record* parent = &window;
    if (!design->parent.empty()) {
      auto it = window.byName.find(design->parent);
      Record* named = it == window.byName.end() ? nullptr : impl.record(it->second);
      if (named && named->hwnd) parent = named;
    }
    if (Record* made = createControl(impl, window, *parent, *design)) {
      window.byName.try_emplace(design->name, made->id);
    }
  }
}

}  // namespace

ControlId Win32Toolkit::loadForm(const FormSpec& form, Handler handler, ControlId owner) {
  Impl& impl = *impl_;
  auto owned = std::make_unique<Record>();
  Record& w = *owned;
  w.id = impl.nextId++;
  w.window = w.id;
  w.kind = Kind::Window;
  w.name = form.name;
  w.handler = std::move(handler);
  w.owner = owner;
  w.backColour = form.backColour;
  impl.records.emplace(w.id, std::move(owned));
  Record* ownerRecord = impl.record(owner);

  HWND hwnd = CreateWindowExW(0, kWindowClass, win32::wideText(form.caption).c_str(),
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, form.left, form.top,
                              form.width, form.height, ownerRecord ? ownerRecord->hwnd : nullptr,
                              nullptr, GetModuleHandleW(nullptr), &w);
  if (!hwnd) {
    impl.records.erase(w.id);
    return 0;
  }
  if (!form.icon.empty()) {
    w.icon = win32::iconFromFileBytes(form.icon, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    if (w.icon) SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(w.icon));
  }
  createControls(impl, w, form);
  w.ready = true;
  const ControlId id = w.id;
  raiseSimple(impl, EventKind::Created, id);
  return impl.record(id) ? id : 0;
}

void Win32Toolkit::showModal(ControlId window) {
  Impl& impl = *impl_;
  Record* w = impl.record(window);
  if (!w || w->kind != Kind::Window) return;
  Record* owner = impl.record(w->owner);
  HWND ownerHwnd = owner ? owner->hwnd : nullptr;
  w->modal = true;
  if (ownerHwnd) EnableWindow(ownerHwnd, FALSE);
  ShowWindow(w->hwnd, SW_SHOW);
  MSG msg;
  while (impl.record(window) && !impl.quitPending) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      impl.quitPending = true;
      impl.exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got < 0) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (ownerHwnd && IsWindow(ownerHwnd)) {
    EnableWindow(ownerHwnd, TRUE);
    SetActiveWindow(ownerHwnd);
  }
  if (impl.quitPending) destroyWindow(window);
}

void Win32Toolkit::destroyWindow(ControlId window) {
  Record* w = impl_->record(window);
  if (w && w->kind == Kind::Window && w->hwnd) DestroyWindow(w->hwnd);
}

ControlId Win32Toolkit::find(ControlId window, std::string_view name) const {
  Record* w = impl_->record(window);
  if (!w || w->kind != Kind::Window) return 0;
  auto it = w->byName.find(name);
  return it == w->byName.end() || !impl_->record(it->second) ? 0 : it->second;
}

void* Win32Toolkit::nativeHandle(ControlId control) const {
  Record* r = impl_->record(control);
  return r ? r->hwnd : nullptr;
}

std::string Win32Toolkit::nameOf(ControlId control) const {
  Record* r = impl_->record(control);
  return r ? r->name : std::string();
}

ControlId Win32Toolkit::windowOf(ControlId control) const {
  Record* r = impl_->record(control);
  return r ? r->window : 0;
}

ControlId Win32Toolkit::copyControl(ControlId templateControl) {
  Impl& impl = *impl_;
  Record* t = impl.record(templateControl);
  if (!t || t->kind == Kind::Window) return 0;
  Record* window = impl.record(t->window);
  Record* parent = impl.record(t->parent);
  if (!window || !parent) return 0;
  ControlSpec design;
  design.name = t->name;
  design.kind = t->kind;
  design.left = static_cast<int>(getInt(t->id, Prop::Left));
  design.top = static_cast<int>(getInt(t->id, Prop::Top));
  design.width = static_cast<int>(getInt(t->id, Prop::Width));
  design.height = static_cast<int>(getInt(t->id, Prop::Height));
  design.caption = getText(t->id, Prop::Caption);
  design.font = t->font;
  design.textColour = t->textColour;
  design.backColour = t->backColour;
  design.visible = false;
  design.enabled = getInt(t->id, Prop::Enabled) != 0;
  design.cursor = t->cursor;
  design.link = t->link;
  design.picture = t->pictureBytes;
  design.hotPicture = t->hotPictureBytes;
  design.multiline = t->multiline;
  design.readOnly = getInt(t->id, Prop::ReadOnly) != 0;
  design.scrollMin = static_cast<int>(getInt(t->id, Prop::Minimum));
  design.scrollMax = static_cast<int>(getInt(t->id, Prop::Maximum));
  design.timerPeriod = 0;
  Record* copy = createControl(impl, *window, *parent, design);
  if (!copy) return 0;
  if (copy->hwnd) {
    // The template's own style bits (set at run time, e.g. a tree's hot tracking) too.
    LONG_PTR style = GetWindowLongPtrW(t->hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE);
    SetWindowLongPtrW(copy->hwnd, GWL_STYLE, style);
    SetWindowPos(copy->hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  return copy->id;
}

void Win32Toolkit::destroyControl(ControlId control) {
  Record* r = impl_->record(control);
  if (!r || r->kind == Kind::Window) return;
  if (r->kind == Kind::Timer) {
    applyTimer(*impl_, *r, 0);
    impl_->records.erase(control);
  } else {
    DestroyWindow(r->hwnd);  // the records go at WM_NCDESTROY, children's included
  }
}

void Win32Toolkit::setParent(ControlId control, ControlId parent) {
  Record* r = impl_->record(control);
  Record* p = impl_->record(parent);
  if (!r || !p || !r->hwnd || !p->hwnd || r->kind == Kind::Window || r->window != p->window) return;
  RECT place = placeInParent(r->hwnd);
  SetParent(r->hwnd, p->hwnd);
  // The numbers of the place stay; they now count inside the new parent.
  SetWindowPos(r->hwnd, HWND_TOP, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  r->parent = parent;
}

std::string Win32Toolkit::className(ControlId control) const {
  Record* r = impl_->record(control);
  if (!r || !r->hwnd) return {};
  wchar_t name[256] = {};
  int n = GetClassNameW(r->hwnd, name, 256);
  return win32::narrowText(std::wstring_view(name, static_cast<std::size_t>(std::max(0, n))));
}

// ---- properties ------------------------------------------------------------------------

namespace {

std::int64_t geometry(const Record& r, Prop prop) {
  if (!hasWindow(r)) {
    switch (prop) {
      case Prop::Left: return r.left;
      case Prop::Top: return r.top;
      case Prop::Width: return r.width;
      default: return r.height;
    }
  }
  RECT rect = r.kind == Kind::Window ? RECT{} : placeInParent(r.hwnd);
  if (r.kind == Kind::Window) GetWindowRect(r.hwnd, &rect);
  switch (prop) {
    case Prop::Left: return rect.left;
    case Prop::Top: return rect.top;
    case Prop::Width: return rect.right - rect.left;
    default: return rect.bottom - rect.top;
  }
}

void setGeometry(Record& r, Prop prop, int value) {
  if (!hasWindow(r)) {
    (prop == Prop::Left ? r.left : prop == Prop::Top ? r.top : prop == Prop::Width ? r.width : r.height) = value;
    return;
  }
  RECT rect{};
  if (r.kind == Kind::Window) {
    GetWindowRect(r.hwnd, &rect);
  } else {
    rect = placeInParent(r.hwnd);
  }
  int left = rect.left, top = rect.top, width = rect.right - rect.left, height = rect.bottom - rect.top;
  (prop == Prop::Left ? left : prop == Prop::Top ? top : prop == Prop::Width ? width : height) = value;
  moveWindow(r.hwnd, left, top, width, height);
}

std::int64_t rangeValue(const Record& r, Prop prop) {
  if (r.kind == Kind::ProgressBar) {
    if (prop == Prop::Position) return SendMessageW(r.hwnd, PBM_GETPOS, 0, 0);
    return SendMessageW(r.hwnd, PBM_GETRANGE, prop == Prop::Minimum, 0);
  }
  if (!isScrollBar(r.kind)) return 0;
  if (prop == Prop::Position) return GetScrollPos(r.hwnd, SB_CTL);
  int low = 0, high = 0;
  GetScrollRange(r.hwnd, SB_CTL, &low, &high);
  return prop == Prop::Minimum ? low : high;
}

void setRangeValue(Record& r, Prop prop, int value) {
  if (r.kind != Kind::ProgressBar && !isScrollBar(r.kind)) return;
  if (prop == Prop::Position) {
    if (r.kind == Kind::ProgressBar) {
      SendMessageW(r.hwnd, PBM_SETPOS, value, 0);
    } else {
      SetScrollPos(r.hwnd, SB_CTL, clampScroll(r.hwnd, value), TRUE);
    }
    return;
  }
  int low = static_cast<int>(rangeValue(r, Prop::Minimum));
  int high = static_cast<int>(rangeValue(r, Prop::Maximum));
  applyScrollRange(r, prop == Prop::Minimum ? value : low, prop == Prop::Maximum ? value : high);
}

void setWindowState(const Record& r, Prop prop, bool on) {
  if (r.kind != Kind::Window) return;
  if (prop == Prop::TopMost) {
    SetWindowPos(r.hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (on) {
    ShowWindow(r.hwnd, prop == Prop::Minimised ? SW_MINIMIZE : SW_MAXIMIZE);
  } else if (prop == Prop::Minimised ? IsIconic(r.hwnd) : IsZoomed(r.hwnd)) {
    ShowWindow(r.hwnd, SW_RESTORE);
  }
}

}  // namespace

std::int64_t Win32Toolkit::getInt(ControlId control, Prop prop) const {
  Record* r = impl_->record(control);
  if (!r) return 0;
  LONG_PTR style = r->hwnd ? GetWindowLongPtrW(r->hwnd, GWL_STYLE) : 0;
  switch (prop) {
    case Prop::Left: case Prop::Top: case Prop::Width: case Prop::Height:
      return geometry(*r, prop);
    case Prop::ClientWidth: case Prop::ClientHeight: {
      RECT client{};
      if (r->hwnd) GetClientRect(r->hwnd, &client);
      return prop == Prop::ClientWidth ? client.right : client.bottom;
    }
    case Prop::Visible: return r->hwnd ? (style & WS_VISIBLE) != 0 : r->timerPeriod > 0;
    case Prop::Enabled: return r->hwnd ? IsWindowEnabled(r->hwnd) != 0 : r->timerPeriod > 0;
    case Prop::TextColour: return r->textColour;
    case Prop::BackColour: return r->backColour;
    case Prop::FontBold: return r->font.bold;
    case Prop::FontItalic: return r->font.italic;
    case Prop::FontUnderline: return r->font.underline;
    case Prop::ReadOnly: return r->kind == Kind::EditBox && (style & ES_READONLY) != 0;
    case Prop::Position: case Prop::Minimum: case Prop::Maximum:
      return rangeValue(*r, prop);
    case Prop::TimerPeriod: return r->timerPeriod;
    case Prop::Minimised: return r->kind == Kind::Window && IsIconic(r->hwnd);
    case Prop::Maximised: return r->kind == Kind::Window && IsZoomed(r->hwnd);
    case Prop::TopMost:
      return r->hwnd && (GetWindowLongPtrW(r->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    case Prop::Style: return static_cast<std::int64_t>(static_cast<std::uint32_t>(style));
    case Prop::Tag: case Prop::Caption: case Prop::Picture: case Prop::HotPicture:
    case Prop::LinkAddress: {
      std::string text = getText(control, prop);
      std::int64_t value = 0;
      std::from_chars(text.data(), text.data() + text.size(), value);
      return value;
    }
  }
  return 0;
}

void Win32Toolkit::setInt(ControlId control, Prop prop, std::int64_t value) {
  Impl& impl = *impl_;
  Record* r = impl.record(control);
  if (!r) return;
  const int v = static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
  switch (prop) {
    case Prop::Left: case Prop::Top: case Prop::Width: case Prop::Height:
      setGeometry(*r, prop, v);
      return;
    case Prop::Visible:
      if (r->hwnd) ShowWindow(r->hwnd, value ? (r->kind == Kind::Window ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
      return;
    case Prop::Enabled:
      if (r->hwnd) EnableWindow(r->hwnd, value != 0);
      return;
    case Prop::TextColour: case Prop::BackColour:
      (prop == Prop::TextColour ? r->textColour : r->backColour) = static_cast<Colour>(value);
      if (r->hwnd) InvalidateRect(r->hwnd, nullptr, TRUE);
      return;
    case Prop::FontBold: case Prop::FontItalic: case Prop::FontUnderline:
      (prop == Prop::FontBold ? r->font.bold : prop == Prop::FontItalic ? r->font.italic : r->font.underline) =
          value != 0;
      applyFont(impl, *r);
      return;
    case Prop::ReadOnly:
      if (r->kind == Kind::EditBox) SendMessageW(r->hwnd, EM_SETREADONLY, value != 0, 0);
      return;
    case Prop::Position: case Prop::Minimum: case Prop::Maximum:
      setRangeValue(*r, prop, v);
      return;
    case Prop::TimerPeriod:
      if (r->kind == Kind::Timer) applyTimer(impl, *r, v);
      return;
    case Prop::Minimised: case Prop::Maximised: case Prop::TopMost:
      setWindowState(*r, prop, value != 0);
      return;
    case Prop::Style:
      if (r->hwnd) {
        SetWindowLongPtrW(r->hwnd, GWL_STYLE, static_cast<LONG_PTR>(static_cast<std::uint32_t>(value)));
        SetWindowPos(r->hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        InvalidateRect(r->hwnd, nullptr, TRUE);
      }
      return;
    case Prop::ClientWidth: case Prop::ClientHeight:
      return;  // read only
    case Prop::Tag: case Prop::Caption: case Prop::Picture: case Prop::HotPicture:
    case Prop::LinkAddress:
      setText(control, prop, std::to_string(value));
      return;
  }
}

std::string Win32Toolkit::getText(ControlId control, Prop prop) const {
  Record* r = impl_->record(control);
  if (!r) return {};
  switch (prop) {
    case Prop::Tag: return r->tag;
    case Prop::Caption: return r->hwnd ? win32::narrowText(windowText(r->hwnd)) : std::string();
    case Prop::Picture: return r->pictureBytes;
    case Prop::HotPicture: return r->hotPictureBytes;
    case Prop::LinkAddress: return r->link;
    default: return std::to_string(getInt(control, prop));
  }
}

void Win32Toolkit::setText(ControlId control, Prop prop, std::string_view value) {
  Record* r = impl_->record(control);
  if (!r) return;
  switch (prop) {
    case Prop::Tag:
      r->tag = std::string(value);
      return;
    case Prop::Caption:
      if (!r->hwnd) return;
      SetWindowTextW(r->hwnd, win32::wideText(value).c_str());
      if (r->kind == Kind::TransparentLabel) invalidateUnder(r->hwnd);
      return;
    case Prop::Picture:
    case Prop::HotPicture:
      setPicture(*r, prop == Prop::HotPicture, value);
      return;
    case Prop::LinkAddress:
      r->link = std::string(value);
      return;
    default: {
      std::int64_t number = 0;
      std::from_chars(value.data(), value.data() + value.size(), number);
      setInt(control, prop, number);
    }
  }
}

void Win32Toolkit::setFocus(ControlId control) {
  Record* r = impl_->record(control);
  if (r && r->hwnd) SetFocus(r->hwnd);
}

// ---- the message loop and time --------------------------------------------------------

int Win32Toolkit::runMessageLoop() {
  Impl& impl = *impl_;
  MSG msg;
  while (!impl.quitPending) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      impl.quitPending = true;
      impl.exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got < 0) return -1;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  impl.quitPending = false;  // a later loop (a test's) starts afresh
  return impl.exitCode;
}

void Win32Toolkit::processPendingMessages() {
  Impl& impl = *impl_;
  MSG msg;
  while (!impl.quitPending && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Remembered for the loop that owns the program's end.
      impl.quitPending = true;
      impl.exitCode = static_cast<int>(msg.wParam);
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Win32Toolkit::quit(int exitCode) { PostQuitMessage(exitCode); }

std::uint64_t Win32Toolkit::nowMs() const { return GetTickCount64(); }

void Win32Toolkit::waitForWorker(platform::Worker& worker) {
  HANDLE handle = worker.waitHandle();
  while (!worker.finished()) {
    if (handle && impl_->quitPending) {
      // The program is ending: no more handlers, only the worker's end.
      WaitForSingleObject(handle, INFINITE);
      break;
    }
    if (handle) {
      DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
      if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    processPendingMessages();
  }
  worker.join();
}

int Win32Toolkit::screenWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
int Win32Toolkit::screenHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

}  // namespace qovra::ui
