// The Win32 toolkit on real windows (under Wine on an X display in the project's runs):
// forms come out at their places, copies and captions reach the real controls, window
// messages become events, timers tick, also while a worker is awaited. Windows only.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/win32/win32_toolkit.h"
#include "platform/win32/win32_toolkit_internal.h"
#include "platform/worker.h"
#include "support/forms.h"

namespace qovra::ui {
namespace {

void put16(std::string& s, std::size_t at, unsigned v) { std::memcpy(&s[at], &v, 2); }
void put32(std::string& s, std::size_t at, std::uint32_t v) { std::memcpy(&s[at], &v, 4); }

// A bottom-up 24-bit BMP file of one colour.
std::string solidBmp(int width, int height, COLORREF colour) {
  std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  std::string s(54 + stride * height, '\0');
  s[0] = 'B';
  s[1] = 'M';
  put32(s, 2, static_cast<std::uint32_t>(s.size()));
  put32(s, 10, 54);
  put32(s, 14, 40);
  put32(s, 18, static_cast<std::uint32_t>(width));
  put32(s, 22, static_cast<std::uint32_t>(height));
  put16(s, 26, 1);
  put16(s, 28, 24);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::size_t at = 54 + y * stride + x * 3;
      s[at] = static_cast<char>(GetBValue(colour));
      s[at + 1] = static_cast<char>(GetGValue(colour));
      s[at + 2] = static_cast<char>(GetRValue(colour));
    }
  }
  return s;
}

// A small form with the shapes the box's forms use: a panel holding a template label,
// a picture box, a button, an edit box, a bar, a timer and a transparent label inside
// a progress bar's area.
FormSpec testForm() {
  FormSpec form;
  form.name = "测试窗口";
  form.caption = "Qovra·软件盒子 测试";
  form.left = 50;
  form.top = 50;
  form.width = 964;
  form.height = 700;
  auto add = [&](ControlSpec design) { form.controls.push_back(std::move(design)); };
  ControlSpec c;
  c = {}; c.name = "图片框底座"; c.kind = Kind::PictureBox; c.width = 1088; c.height = 88;
  c.backColour = rgb(40, 90, 160); add(c);
  c = {}; c.name = "图片客服号码"; c.kind = Kind::PictureButton; c.parent = "图片框底座"; c.left = 104;
  c.width = 64; c.height = 64; c.picture = solidBmp(64, 64, RGB(0, 160, 0));
  c.hotPicture = solidBmp(64, 64, RGB(200, 0, 0)); add(c);
  c = {}; c.name = "图片框容器"; c.kind = Kind::PictureBox; c.top = 90; c.width = 944; c.height = 238;
  c.backColour = rgb(245, 245, 245); add(c);
  c = {}; c.name = "控件名称"; c.kind = Kind::Label; c.parent = "图片框容器"; c.left = 40; c.top = 8;
  c.width = 344; c.height = 26; c.caption = "模板名称"; c.font = {"新宋体", 15};
  c.textColour = rgb(0, 0, 255); c.backColour = rgb(245, 245, 245); c.cursor = Cursor::Hand;
  c.visible = false; add(c);
  c = {}; c.name = "控件下载点击"; c.kind = Kind::Button; c.parent = "图片框容器"; c.left = 392;
  c.top = 8; c.width = 176; c.height = 26; c.caption = "下载软件"; add(c);
  c = {}; c.name = "链接疑点说明"; c.kind = Kind::Hyperlink; c.parent = "图片框底座"; c.left = 16;
  c.top = 64; c.width = 64; c.height = 24; c.caption = "疑点说明"; add(c);
  c = {}; c.name = "编辑框搜索"; c.kind = Kind::EditBox; c.left = 611; c.top = 400; c.width = 320;
  c.height = 60; c.multiline = true; add(c);
  c = {}; c.name = "纵向滚动条"; c.kind = Kind::VScrollBar; c.left = 930; c.top = 90; c.width = 17;
  c.height = 238; c.scrollMax = 100; add(c);
  c = {}; c.name = "控件下载进度"; c.kind = Kind::ProgressBar; c.parent = "图片框容器"; c.left = 579;
  c.top = 40; c.width = 351; c.height = 26; add(c);
  c = {}; c.name = "控件下载提示"; c.kind = Kind::TransparentLabel; c.parent = "图片框容器";
  c.left = 591; c.top = 40; c.width = 329; c.height = 26; c.caption = "正在下载中.."; add(c);
  c = {}; c.name = "时钟"; c.kind = Kind::Timer; c.parent = "图片框容器"; add(c);
  c = {}; c.name = "树型框"; c.kind = Kind::TreeView; c.left = 611; c.top = 470; c.width = 320;
  c.height = 150; add(c);
  return form;
}

HWND hwndOf(const Win32Toolkit& tk, ControlId id) { return static_cast<HWND>(tk.nativeHandle(id)); }

RECT rectInParent(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Where a control should stand inside its parent.
struct Place {
  const char* name;
  int left, top, width, height;
};

void expectPlace(HWND hwnd, const Place& place) {
  ASSERT_NE(hwnd, nullptr);
  RECT r = rectInParent(hwnd);
  EXPECT_EQ(r.left, place.left);
  EXPECT_EQ(r.top, place.top);
  EXPECT_EQ(r.right - r.left, place.width);
  EXPECT_EQ(r.bottom - r.top, place.height);
}

std::wstring textOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

// What the screen shows in a rectangle, as 0x00RRGGBB pixels, top row first.
struct Capture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};

Capture captureScreen(const RECT& area) {
  Capture capture;
  capture.width = area.right - area.left;
  capture.height = area.bottom - area.top;
  capture.pixels.resize(static_cast<std::size_t>(capture.width) * capture.height);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, capture.width, capture.height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(capture.height), capture.pixels.data(), &info,
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

// Writes the capture as a 24-bit bottom-up BMP file; says whether it could.
bool saveBmp(const Capture& capture, const std::string& path) {
  std::size_t stride = (static_cast<std::size_t>(capture.width) * 3 + 3) & ~std::size_t{3};
  std::vector<unsigned char> bits(stride * capture.height);
  for (int y = 0; y < capture.height; ++y) {
    for (int x = 0; x < capture.width; ++x) {
      std::uint32_t p = capture.at(x, y);
      unsigned char* out = &bits[(capture.height - 1 - y) * stride + x * 3];
      out[0] = p & 0xFF;
      out[1] = (p >> 8) & 0xFF;
      out[2] = (p >> 16) & 0xFF;
    }
  }
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + bits.size());
  info.biSize = sizeof info;
  info.biWidth = capture.width;
  info.biHeight = capture.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
            std::fwrite(bits.data(), 1, bits.size(), out) == bits.size();
  return std::fclose(out) == 0 && ok;
}

RECT screenRect(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

class Win32ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = tk.loadForm(testForm(), [this](Event& e) { onEvent(e); });
    ASSERT_NE(window, 0);
  }
  void TearDown() override { tk.destroyWindow(window); }

  virtual void onEvent(Event& e) {
    events.push_back(e);
    if (e.kind == EventKind::KeyDown && e.key == swallowKey) e.swallow = true;
    if (e.kind == EventKind::CloseQuery) e.allow = allowClose;
    if (e.kind == EventKind::TimerTick && quitAtTick != 0) tk.quit(quitAtTick);
  }

  ControlId control(const char* name) const { return tk.find(window, name); }

  // Processes messages until the condition holds or the time is up.
  template <typename Condition>
  bool pumpUntil(Condition condition, int ms = 3000) {
    std::uint64_t end = tk.nowMs() + static_cast<std::uint64_t>(ms);
    while (!condition() && tk.nowMs() < end) {
      tk.processPendingMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return condition();
  }

  int count(EventKind kind, ControlId from) const {
    int n = 0;
    for (const Event& e : events) n += e.kind == kind && e.control == from;
    return n;
  }

  Win32Toolkit tk;
  ControlId window = 0;
  std::vector<Event> events;
  int swallowKey = -1;
  bool allowClose = true;
  int quitAtTick = 0;
};

TEST_F(Win32ToolkitTest, WindowAndControlsStandAtTheirFormPlaces) {
  tk.setInt(window, Prop::Visible, 1);
  RECT outer{};
  GetWindowRect(hwndOf(tk, window), &outer);
  EXPECT_EQ(outer.left, 50);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(outer.right - outer.left, 964);
  EXPECT_EQ(outer.bottom - outer.top, 700);
  EXPECT_EQ(tk.getInt(window, Prop::Width), 964);
  RECT client{};
  GetClientRect(hwndOf(tk, window), &client);
  EXPECT_EQ(tk.getInt(window, Prop::ClientWidth), client.right);

  for (Place p : {Place{"图片框底座", 0, 0, 1088, 88}, Place{"图片框容器", 0, 90, 944, 238},
                  Place{"控件名称", 40, 8, 344, 26}, Place{"控件下载点击", 392, 8, 176, 26},
                  Place{"控件下载进度", 579, 40, 351, 26}}) {
    SCOPED_TRACE(p.name);
    expectPlace(hwndOf(tk, control(p.name)), p);
  }
  // Nesting follows the form: the label lives in the content picture box.
  EXPECT_EQ(GetParent(hwndOf(tk, control("控件名称"))), hwndOf(tk, control("图片框容器")));
  EXPECT_FALSE(IsWindowVisible(hwndOf(tk, control("控件名称"))));
  EXPECT_EQ(count(EventKind::Created, window), 1);
}

TEST_F(Win32ToolkitTest, CopyOfATemplateIsAHiddenTwinUnderTheSameParentAndCanBeDestroyed) {
  ControlId label = control("控件名称");
  tk.setInt(label, Prop::FontUnderline, 1);
  ControlId copy = tk.copyControl(label);
  ASSERT_NE(copy, 0);
  ASSERT_NE(copy, label);
  HWND original = hwndOf(tk, label), twin = hwndOf(tk, copy);
  ASSERT_NE(twin, nullptr);
  EXPECT_EQ(GetParent(twin), GetParent(original));
  EXPECT_EQ(tk.className(copy), tk.className(label));
  EXPECT_EQ(textOf(twin), L"模板名称");
  EXPECT_EQ(SendMessageW(twin, WM_GETFONT, 0, 0), SendMessageW(original, WM_GETFONT, 0, 0));
  EXPECT_EQ(tk.getInt(copy, Prop::TextColour), rgb(0, 0, 255));
  EXPECT_EQ(tk.getInt(copy, Prop::FontUnderline), 1);
  RECT a = rectInParent(original), b = rectInParent(twin);
  EXPECT_TRUE(EqualRect(&a, &b));
  EXPECT_FALSE(GetWindowLongPtrW(twin, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(tk.find(window, "控件名称"), label);  // the form name still finds the template

  tk.setInt(copy, Prop::Top, 8 + 26 * 3);
  EXPECT_EQ(rectInParent(twin).top, 86);
  EXPECT_EQ(rectInParent(original).top, 8);

  tk.destroyControl(copy);
  EXPECT_FALSE(IsWindow(twin));
  EXPECT_EQ(tk.nativeHandle(copy), nullptr);
  EXPECT_TRUE(IsWindow(original));
}

TEST_F(Win32ToolkitTest, ChineseCaptionsReachTheRealWindowAndComeBack) {
  const std::string caption = "Qovra·软件盒子 v1.3.1.0 - 检测更新【测试】";
  tk.setText(window, Prop::Caption, caption);
  EXPECT_EQ(textOf(hwndOf(tk, window)), L"Qovra·软件盒子 v1.3.1.0 - 检测更新【测试】");
  EXPECT_EQ(tk.getText(window, Prop::Caption), caption);
  ControlId button = control("控件下载点击");
  tk.setText(button, Prop::Caption, "正在下载..停止");
  EXPECT_EQ(textOf(hwndOf(tk, button)), L"正在下载..停止");
  EXPECT_EQ(tk.getText(button, Prop::Caption), "正在下载..停止");
}

TEST_F(Win32ToolkitTest, MouseMessagesBecomeEventsWithKeysAndAClick) {
  ControlId link = control("链接疑点说明");
  HWND hwnd = hwndOf(tk, link);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(5, 6));
  SendMessageW(hwnd, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(5, 6));
  ASSERT_EQ(events.size(), 4u);  // Created, down, up, click
  EXPECT_EQ(events[1].kind, EventKind::MouseDown);
  EXPECT_EQ(events[1].control, link);
  EXPECT_EQ(events[1].button, kLeftButton);
  EXPECT_EQ(events[1].keys, kCtrl);
  EXPECT_EQ(events[1].x, 5);
  EXPECT_EQ(events[1].y, 6);
  EXPECT_EQ(events[2].kind, EventKind::MouseUp);
  EXPECT_EQ(events[3].kind, EventKind::Click);

  // A release outside the control, or one whose press began elsewhere, is no click.
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(500, 6));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  EXPECT_EQ(count(EventKind::Click, link), 1);
  SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, 0);
  EXPECT_EQ(events.back().button, kRightButton);
  EXPECT_EQ(events.back().keys, kShift);

  ControlId button = control("控件下载点击");
  SendMessageW(hwndOf(tk, button), BM_CLICK, 0, 0);
  EXPECT_EQ(count(EventKind::Click, button), 1);
}

TEST_F(Win32ToolkitTest, SwallowedKeyNeverReachesTheEditBoxNorDoesItsCharacter) {
  ControlId edit = control("编辑框搜索");
  HWND hwnd = hwndOf(tk, edit);
  swallowKey = VK_RETURN;
  SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(hwnd, WM_CHAR, L'\r', 0);
  SendMessageW(hwnd, WM_KEYDOWN, 'A', 0);
  SendMessageW(hwnd, WM_CHAR, L'a', 0);
  EXPECT_EQ(tk.getText(edit, Prop::Caption), "a");
  EXPECT_EQ(count(EventKind::KeyDown, edit), 2);
  EXPECT_EQ(count(EventKind::TextChanged, edit), 1);
  swallowKey = -1;
  SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(hwnd, WM_CHAR, L'\r', 0);
  EXPECT_EQ(tk.getText(edit, Prop::Caption), "a\r\n");
}

TEST_F(Win32ToolkitTest, ScrollBarRequestsMoveThePositionWithinTheRange) {
  ControlId bar = control("纵向滚动条");
  HWND hwnd = hwndOf(tk, bar);
  HWND parent = GetParent(hwnd);
  SendMessageW(parent, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(hwnd));
  EXPECT_EQ(tk.getInt(bar, Prop::Position), 1);
  EXPECT_EQ(count(EventKind::Scrolled, bar), 1);
  SendMessageW(parent, WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(hwnd));
  EXPECT_EQ(tk.getInt(bar, Prop::Position), 100);
  SendMessageW(parent, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(hwnd));
  EXPECT_EQ(tk.getInt(bar, Prop::Position), 100);
  EXPECT_EQ(count(EventKind::Scrolled, bar), 2);  // no change at the end, no event
  tk.setInt(bar, Prop::Position, 250);
  EXPECT_EQ(GetScrollPos(hwnd, SB_CTL), 100);
  tk.setInt(bar, Prop::Maximum, 300);
  tk.setInt(bar, Prop::Position, 250);
  EXPECT_EQ(GetScrollPos(hwnd, SB_CTL), 250);
}

TEST_F(Win32ToolkitTest, LabelColoursAndTransparencyAnswerTheParentsColourQuestion) {
  ControlId label = control("控件名称");
  HWND parent = GetParent(hwndOf(tk, label));
  HDC dc = CreateCompatibleDC(nullptr);
  LRESULT brush = SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(hwndOf(tk, label)));
  EXPECT_NE(brush, 0);
  EXPECT_EQ(GetTextColor(dc), rgb(0, 0, 255));
  EXPECT_EQ(GetBkColor(dc), rgb(245, 245, 245));
  tk.setInt(label, Prop::TextColour, rgb(144, 0, 255));
  SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(hwndOf(tk, label)));
  EXPECT_EQ(GetTextColor(dc), rgb(144, 0, 255));

  // The hint label, moved into the progress bar, is asked about by the bar itself.
  ControlId hint = control("控件下载提示");
  ControlId bar = control("控件下载进度");
  tk.setParent(hint, bar);
  tk.setInt(hint, Prop::Left, 10);
  tk.setInt(hint, Prop::Top, 0);
  EXPECT_EQ(GetParent(hwndOf(tk, hint)), hwndOf(tk, bar));
  RECT r = rectInParent(hwndOf(tk, hint));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 0);
  SendMessageW(hwndOf(tk, bar), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(hwndOf(tk, hint)));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  DeleteDC(dc);
}

TEST_F(Win32ToolkitTest, TimerTicksOnTheWindowThreadAndStopsAtZero) {
  ControlId timer = control("时钟");
  tk.setInt(timer, Prop::TimerPeriod, 20);
  EXPECT_TRUE(pumpUntil([&] { return count(EventKind::TimerTick, timer) >= 3; }));
  tk.setInt(timer, Prop::TimerPeriod, 0);
  tk.processPendingMessages();
  int ticks = count(EventKind::TimerTick, timer);
  pumpUntil([] { return false; }, 150);
  EXPECT_EQ(count(EventKind::TimerTick, timer), ticks);
}

TEST_F(Win32ToolkitTest, WaitingForAWorkerKeepsTheTimerTicking) {
  ControlId timer = control("时钟");
  tk.setInt(timer, Prop::TimerPeriod, 20);
  platform::Worker worker([] { std::this_thread::sleep_for(std::chrono::milliseconds(400)); });
  tk.waitForWorker(worker);
  EXPECT_TRUE(worker.finished());
  EXPECT_GE(count(EventKind::TimerTick, timer), 5);
}

TEST_F(Win32ToolkitTest, TreeKeepsItemsValuesAndSelectionInOrder) {
  ControlId tree = control("树型框");
  tk.treeSetImages(tree, {std::string("not a picture")}, rgb(255, 0, 255));
  EXPECT_EQ(tk.treeAdd(tree, "记事本", 0, 0, 7'000'000'000LL), 0);
  EXPECT_EQ(tk.treeAdd(tree, "计算器", 0, 0, 42), 1);
  EXPECT_EQ(tk.treeCount(tree), 2);
  EXPECT_EQ(tk.treeValue(tree, 0), 7'000'000'000LL);
  EXPECT_EQ(tk.treeSelected(tree), -1);
  tk.treeSelect(tree, 1);
  EXPECT_EQ(tk.treeSelected(tree), 1);
  EXPECT_EQ(tk.treeValue(tree, 5), 0);
  tk.treeClear(tree);
  EXPECT_EQ(tk.treeCount(tree), 0);
  EXPECT_EQ(tk.treeSelected(tree), -1);
  EXPECT_EQ(tk.className(tree), "SysTreeView32");
}

TEST_F(Win32ToolkitTest, ShownWindowPaintsPicturesBackgroundsAndTheHotPicture) {
  tk.setInt(window, Prop::Visible, 1);
  HWND button = hwndOf(tk, control("图片客服号码"));
  SetForegroundWindow(hwndOf(tk, window));
  pumpUntil([] { return false; }, 300);
  RECT place = screenRect(button);
  Capture before = captureScreen(place);
  EXPECT_EQ(before.at(10, 10), 0x00A000u);  // the normal picture, green
  RECT header = screenRect(hwndOf(tk, control("图片框底座")));
  Capture band = captureScreen(header);
  EXPECT_EQ(band.at(300, 40), 0x285AA0u);   // the band's own colour

  // The mouse over the button shows the hot picture; leaving it, the normal one again.
  SetCursorPos(place.left + 10, place.top + 10);
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  pumpUntil([] { return false; }, 200);
  EXPECT_EQ(captureScreen(place).at(10, 10), 0xC80000u);
  SetCursorPos(header.left + 300, header.top + 40);
  pumpUntil([&] { return captureScreen(place).at(10, 10) == 0x00A000u; }, 1000);
  EXPECT_EQ(captureScreen(place).at(10, 10), 0x00A000u);

  // Bytes that are no picture leave the button's own background.
  tk.setText(control("图片客服号码"), Prop::Picture, "no picture");
  pumpUntil([] { return false; }, 200);
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(captureScreen(place).at(10, 10),
            (std::uint32_t{GetRValue(face)} << 16) | (GetGValue(face) << 8) | GetBValue(face));
}

TEST_F(Win32ToolkitTest, HintLabelStaysReadableOnTheMovingProgressBar) {
  ControlId bar = control("控件下载进度");
  ControlId hint = control("控件下载提示");
  tk.setParent(hint, bar);
  tk.setInt(hint, Prop::Left, 10);
  tk.setInt(hint, Prop::Top, 0);
  tk.setInt(window, Prop::Visible, 1);
  SetForegroundWindow(hwndOf(tk, window));
  pumpUntil([] { return false; }, 300);
  for (int position : {30, 100}) {
    tk.setInt(bar, Prop::Position, position);
    tk.setText(hint, Prop::Caption, "正在下载中.. " + std::to_string(position) + "%");
    pumpUntil([] { return false; }, 200);
  }
  Capture barShot = captureScreen(screenRect(hwndOf(tk, bar)));
  std::uint32_t fill = barShot.at(5, 13);  // left of the label: the bar's own fill
  Capture label = captureScreen(screenRect(hwndOf(tk, hint)));
  int text = 0, through = 0;
  for (std::uint32_t p : label.pixels) {
    p &= 0xFFFFFF;
    int sum = static_cast<int>((p >> 16) + ((p >> 8) & 0xFF) + (p & 0xFF));
    text += sum < 200;
    through += p == fill;
  }
  EXPECT_GT(text, 20) << "the caption's strokes";
  EXPECT_GT(through, label.width * label.height / 3) << "the bar seen through the label";
}

TEST_F(Win32ToolkitTest, ScreenshotOfTheShownWindowIsSaved) {
  ControlId label = control("控件名称");
  tk.setInt(label, Prop::Visible, 1);
  tk.setInt(window, Prop::Visible, 1);
  SetForegroundWindow(hwndOf(tk, window));
  pumpUntil([] { return false; }, 500);
  Capture shot = captureScreen(screenRect(hwndOf(tk, window)));
  std::string folder = QOVRA_BINARY_DIR "/screenshots";
  CreateDirectoryW(win32::wideText(folder).c_str(), nullptr);
  std::string path = folder + "/test-window.bmp";
  ASSERT_TRUE(saveBmp(shot, path));
  std::printf("screenshot: %s\n", path.c_str());
}

TEST_F(Win32ToolkitTest, ClosingAsksFirstAndDestructionIsReported) {
  HWND hwnd = hwndOf(tk, window);
  allowClose = false;
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(count(EventKind::CloseQuery, window), 1);
  allowClose = true;
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(count(EventKind::Destroyed, window), 1);
  EXPECT_EQ(tk.find(window, "控件名称"), 0);
  EXPECT_EQ(tk.getText(window, Prop::Caption), "");
}

TEST_F(Win32ToolkitTest, SizeChangesAndWheelTurnsReachTheWindowOnce) {
  tk.setInt(window, Prop::Width, 800);
  EXPECT_GE(count(EventKind::Resized, window), 1);
  RECT outer = screenRect(hwndOf(tk, window));
  EXPECT_EQ(outer.right - outer.left, 800);

  // A wheel turn over a child travels up to the window: one Wheel event, screen place.
  HWND label = hwndOf(tk, control("链接疑点说明"));
  SendMessageW(label, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)), MAKELPARAM(300, 400));
  ASSERT_EQ(count(EventKind::Wheel, window), 1);
  const Event& wheel = events.back();
  EXPECT_EQ(wheel.delta, -120);
  EXPECT_EQ(wheel.x, 300);
  EXPECT_EQ(wheel.y, 400);
  EXPECT_EQ(wheel.keys, kCtrl);
}

TEST_F(Win32ToolkitTest, TrayMessagesBecomeTheirKinds) {
  HWND hwnd = hwndOf(tk, window);
  using Case = std::pair<UINT, int>;
  for (auto [mouse, kind] : {Case{WM_LBUTTONUP, kTrayLeftUp}, Case{WM_LBUTTONDBLCLK, kTrayLeftDoubleClick},
                             Case{WM_RBUTTONUP, kTrayRightUp}, Case{WM_MOUSEMOVE, 0}}) {
    events.clear();
    SendMessageW(hwnd, win32::kTrayMessage, win32::kTrayId, mouse);
    SCOPED_TRACE(mouse);
    if (kind == 0) {
      EXPECT_TRUE(events.empty());
    } else {
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].kind, EventKind::Tray);
      EXPECT_EQ(events[0].trayKind, kind);
    }
  }
}

TEST_F(Win32ToolkitTest, QuitEndsTheLoopWithItsExitCode) {
  quitAtTick = 7;
  tk.setInt(control("时钟"), Prop::TimerPeriod, 10);
  EXPECT_EQ(tk.runMessageLoop(), 7);
}

TEST_F(Win32ToolkitTest, StyleBitsAreWrittenAndCopiesKeepThem) {
  ControlId tree = control("树型框");
  std::int64_t style = tk.getInt(tree, Prop::Style);
  ASSERT_EQ(style & TVS_TRACKSELECT, 0);
  tk.setInt(tree, Prop::Style, style | TVS_TRACKSELECT);
  EXPECT_TRUE(GetWindowLongPtrW(hwndOf(tk, tree), GWL_STYLE) & TVS_TRACKSELECT);
  ControlId copy = tk.copyControl(tree);
  EXPECT_TRUE(GetWindowLongPtrW(hwndOf(tk, copy), GWL_STYLE) & TVS_TRACKSELECT);
  EXPECT_EQ(tk.getInt(copy, Prop::Visible), 0);
}

TEST_F(Win32ToolkitTest, ModalFormDisablesItsOwnerUntilItIsGone) {
  FormSpec dialog;
  dialog.caption = "疑点说明";
  dialog.width = 495;
  dialog.height = 393;
  ControlSpec timer;
  timer.name = "关闭";
  timer.kind = Kind::Timer;
  timer.timerPeriod = 30;
  dialog.controls.push_back(timer);
  bool ownerEnabledInside = true;
  ControlId modal = 0;
  modal = tk.loadForm(dialog, [&](Event& e) {
    if (e.kind != EventKind::TimerTick) return;
    ownerEnabledInside = IsWindowEnabled(hwndOf(tk, window)) != 0;
    tk.destroyWindow(modal);
  }, window);
  ASSERT_NE(modal, 0);
  EXPECT_EQ(GetWindow(hwndOf(tk, modal), GW_OWNER), hwndOf(tk, window));
  tk.showModal(modal);
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(IsWindowEnabled(hwndOf(tk, window)));
  EXPECT_EQ(tk.nativeHandle(modal), nullptr);
}

// ---- pictures ------------------------------------------------------------------------

std::uint32_t firstPixel(const win32::Picture& picture) {
  DIBSECTION dib{};
  GetObjectW(picture.bitmap(), sizeof dib, &dib);
  return *static_cast<std::uint32_t*>(dib.dsBm.bmBits) & 0x00FFFFFF;
}

TEST(Win32Pictures, BmpDecodesToItsSizeAndColour) {
  win32::Picture picture = win32::decodePicture(solidBmp(5, 3, RGB(10, 20, 30)));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture.width(), 5);
  EXPECT_EQ(picture.height(), 3);
  EXPECT_FALSE(picture.alpha());
  EXPECT_EQ(firstPixel(picture), 0x000A141Eu);  // 0xRRGGBB in DIB order
}

TEST(Win32Pictures, PngDecodesThroughTheImagingComponent) {
  // 2x1 RGBA: opaque red, opaque blue.
  static const char png[] =
      "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02"
      "\x00\x00\x00\x01\x08\x06\x00\x00\x00\xf4\x22\x7f\x8a\x00\x00\x00\x0e\x49\x44\x41"
      "\x54\x78\x9c\x63\xf8\xcf\xc0\x00\x42\xff\x01\x0f\xf9\x03\xfd\x85\x11\x99\x76\x00"
      "\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
  Win32Toolkit tk;  // the imaging component lives in COM, which the toolkit starts
  std::string bytes(png, sizeof png - 1);
  win32::Picture picture = win32::decodePicture(bytes);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture.width(), 2);
  EXPECT_EQ(picture.height(), 1);
  EXPECT_EQ(firstPixel(picture), 0xFF0000u);
  EXPECT_FALSE(win32::decodePicture(bytes.substr(0, 40)));  // cut inside the pixel data
}

TEST(Win32Pictures, DamagedBmpsGiveNoPicture) {
  std::string good = solidBmp(4, 4, RGB(1, 2, 3));
  struct Case { const char* what; std::string bytes; };
  std::vector<Case> cases;
  cases.push_back({"truncated pixels", good.substr(0, good.size() - 5)});
  cases.push_back({"header only", good.substr(0, 20)});
  std::string s = good; put32(s, 10, 1'000'000); cases.push_back({"pixels beyond the end", s});
  s = good; put32(s, 18, 0); cases.push_back({"zero width", s});
  s = good; put32(s, 18, 0x7FFFFFFF); cases.push_back({"huge width", s});
  s = good; put16(s, 28, 7); cases.push_back({"odd bit count", s});
  s = good; put32(s, 14, 8); cases.push_back({"short info header", s});
  s = good; put32(s, 22, 0x80000000u); cases.push_back({"most negative height", s});
  cases.push_back({"not an image", "hello"});
  cases.push_back({"empty", ""});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(win32::decodePicture(c.bytes));
  }
}

// An .ico file with one 32-bit entry of the given size.
std::string iconFile(int side) {
  std::size_t pixels = static_cast<std::size_t>(side) * side * 4;
  std::size_t mask = static_cast<std::size_t>((side + 31) / 32 * 4) * side;
  std::size_t image = 40 + pixels + mask;
  std::string s(6 + 16 + image, '\0');
  put16(s, 2, 1);
  put16(s, 4, 1);
  s[6] = static_cast<char>(side);
  s[7] = static_cast<char>(side);
  put16(s, 10, 1);
  put16(s, 12, 32);
  put32(s, 14, static_cast<std::uint32_t>(image));
  put32(s, 18, 22);
  put32(s, 22, 40);
  put32(s, 26, static_cast<std::uint32_t>(side));
  put32(s, 30, static_cast<std::uint32_t>(side * 2));
  put16(s, 34, 1);
  put16(s, 36, 32);
  for (std::size_t i = 0; i < pixels; i += 4) put32(s, 22 + 40 + i, 0xFF3366CCu);
  return s;
}

TEST(Win32Pictures, IconComesFromGoodIcoBytesOnly) {
  HICON icon = win32::iconFromFileBytes(iconFile(16), 16, 16);
  EXPECT_NE(icon, nullptr);
  if (icon) DestroyIcon(icon);
  std::string lying = iconFile(16);
  put32(lying, 14, 1'000'000);  // entry size beyond the file
  for (const std::string& bad : {std::string(), std::string("\0\0\1\0", 4), lying,
                                 iconFile(16).substr(0, 30)}) {
    EXPECT_EQ(win32::iconFromFileBytes(bad, 16, 16), nullptr);
  }
}


TEST_F(Win32ToolkitTest, TrayTakesAnIconFileAndRefusesBytesThatAreNoIcon) {
  EXPECT_FALSE(tk.trayAdd(window, "not an icon", "提示"));
  tk.trayRemove(window);  // nothing there: harmless
  EXPECT_TRUE(tk.trayAdd(window, iconFile(16), "Qovra·软件盒子\r\n为Qovra软件旗下数十款软件提供下载、升级服务"));
  EXPECT_TRUE(tk.trayAdd(window, iconFile(16), "新的提示"));  // a second add changes it
  tk.trayRemove(window);
}

TEST(Win32Clipboard, UnicodeTextComesBackAsUtf8) {
  const wchar_t text[] = L"粘贴的内容\r\nsecond line";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  std::memcpy(GlobalLock(memory), text, sizeof text);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  Win32Toolkit tk;
  EXPECT_EQ(tk.clipboardText(), "粘贴的内容\r\nsecond line");
}


// ---- the box's main window ---------------------------------------------------------------

TEST(Win32MainWindow, OpensAtItsFormPlacesWithReadableChineseAndIsPhotographed) {
  Win32Toolkit tk;
  ControlId window = tk.loadForm(mainWindowForm(), [](Event&) {});
  ASSERT_NE(window, 0);
  auto control = [&](const char* name) { return tk.find(window, name); };

  // A few rows as the catalogue makes them: copies of the templates, one pitch apart.
  const char* names[] = {"[免]记事本 v1.0", "Qovra截图工具 v2.3.1", "[游]连连看 v1.1"};
  for (int i = 0; i < 3; ++i) {
    for (const char* part : {"控件名称", "控件下载点击", "控件删除", "控件教程"}) {
      ControlId copy = tk.copyControl(control(part));
      ASSERT_NE(copy, 0) << part;
      tk.setInt(copy, Prop::Top, tk.getInt(control(part), Prop::Top) + 26 * i);
      if (std::string(part) == "控件名称") tk.setText(copy, Prop::Caption, names[i]);
      tk.setInt(copy, Prop::Visible, 1);
    }
  }
  tk.setInt(control("图片框加载中"), Prop::Visible, 0);
  tk.setInt(window, Prop::Visible, 1);
  SetForegroundWindow(hwndOf(tk, window));
  std::uint64_t end = tk.nowMs() + 600;
  while (tk.nowMs() < end) {
    tk.processPendingMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }

  RECT outer = screenRect(hwndOf(tk, window));
  EXPECT_EQ(outer.left, 50);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(outer.right - outer.left, 964);
  EXPECT_EQ(outer.bottom - outer.top, 700);
  for (Place p : {Place{"图片框底座", 0, 0, 1088, 88}, Place{"标签分隔条", 0, 88, 2000, 2},
                  Place{"图片框边界", 0, 90, 952, 390}, Place{"图片框容器", 0, 0, 944, 238},
                  Place{"图片框加载中", 32, 136, 664, 200}, Place{"控件图标", 8, 8, 23, 23},
                  Place{"控件名称", 40, 8, 344, 26}, Place{"控件下载点击", 392, 8, 176, 26},
                  Place{"控件删除", 584, 8, 104, 26}, Place{"控件教程", 712, 8, 104, 26},
                  Place{"控件下载进度", 579, 8, 351, 26}, Place{"按钮一键下载", 611, 8, 160, 36},
                  Place{"按钮更新配置", 779, 8, 152, 36}, Place{"编辑框搜索", 611, 46, 320, 36},
                  Place{"图片疑点说明", 16, 0, 64, 64}, Place{"链接疑点说明", 16, 64, 64, 24}}) {
    SCOPED_TRACE(p.name);
    expectPlace(hwndOf(tk, control(p.name)), p);
  }
  EXPECT_EQ(GetParent(hwndOf(tk, control("图片框容器"))), hwndOf(tk, control("图片框边界")));
  EXPECT_EQ(GetParent(hwndOf(tk, control("控件名称"))), hwndOf(tk, control("图片框容器")));
  EXPECT_EQ(tk.className(control("树型框")), "SysTreeView32");

  Capture shot = captureScreen(outer);
  std::string folder = QOVRA_BINARY_DIR "/screenshots";
  CreateDirectoryW(win32::wideText(folder).c_str(), nullptr);
  std::string path = folder + "/main-window.bmp";
  ASSERT_TRUE(saveBmp(shot, path));
  std::printf("screenshot: %s\n", path.c_str());
}

}  // namespace
}  // namespace qovra::ui

#endif  // _WIN32
