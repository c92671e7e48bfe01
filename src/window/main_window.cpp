#include "window/main_window.h"

#include <algorithm>
#include <cctype>

#include "app/deployment.h"
#include "catalogue/catalogue.h"
#include "support/process_state.h"
#include "window/list_area.h"
#include "window/result_list.h"
#include "window/row_state.h"
#include "window/rows.h"
#include "window/search_box.h"
#include "window/tray_icon.h"

namespace qovra {

using ui::Prop;

namespace {

ui::Toolkit& tk() { return ui::toolkit(); }

std::string replaceEvery(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

void replaceInText(ui::ControlId control, Prop prop, std::string_view from, std::string_view to) {
  tk().setText(control, prop, replaceEvery(tk().getText(control, prop), from, to));
}

bool equalNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The result list follows the mouse, but only when it really is a tree view: the style
// bit means something else to any other class.
void giveResultListHotTracking() {
  const ui::ControlId tree = mainControl("树型框");
  if (!equalNoCase(tk().className(tree), "SysTreeView32")) return;
  const auto style = tk().getInt(tree, Prop::Style);
  if (!(style & kTrackSelectStyle)) tk().setInt(tree, Prop::Style, style | kTrackSelectStyle);
}

void bindListArea() {
  mainWindowState().listArea.bind(mainControl("图片框边界"), mainControl("图片框容器"), mainControl("横向滚动条"),
                                   mainControl("纵向滚动条"), true);
}

void putHintLabelOnProgressBar() {
  const ui::ControlId hint = mainControl("控件下载提示");
  tk().setParent(hint, mainControl("控件下载进度"));
  tk().setInt(hint, Prop::Left, 10);
  tk().setInt(hint, Prop::Top, 0);
}

bool isRowNameLabel(ui::ControlId control) {
  const CatalogueRow* row = rowAt(rowNumberFromTag(tk().getText(control, Prop::Tag)));
  return row && row->nameLabel == control;
}

}  // namespace

MainWindowState& mainWindowState() {
  static MainWindowState state;
  return state;
}

ui::ControlId mainControl(std::string_view name) {
  const ui::ControlId window = mainWindowState().window;
  return window == 0 ? 0 : tk().find(window, name);
}

void applyBranding(ui::ControlId window, const BrandingProfile& profile) {
  auto& brandName = catalogueState().brandName;
  brandName = kDefaultBrand;
  if (profile.brandWord.empty()) return;
  replaceInText(window, Prop::Caption, kDefaultBrand, profile.brandWord);
  const ui::ControlId contact = tk().find(window, "链接客服号码");
  replaceInText(contact, Prop::Caption, deployment::kContactNumber, profile.contactNumber);
  replaceInText(contact, Prop::LinkAddress, deployment::kContactNumber, profile.contactNumber);
  tk().setText(tk().find(window, "链接软件主页"), Prop::LinkAddress, profile.homepageUrl);
  const ui::ControlId banner = tk().find(window, "图片Qovra软件");
  tk().setText(banner, Prop::Picture, profile.bannerPicture);
  tk().setText(banner, Prop::HotPicture, profile.bannerHotPicture);
  if (tk().getText(banner, Prop::Picture).empty()) tk().setInt(banner, Prop::Visible, 0);
  brandName = profile.brandWord;
}

std::string trayTipText() {
  return processState().programTitle + "\r\n为" + catalogueState().brandName + "软件旗下数十款软件提供下载、升级服务";
}

void prepareMainWindow(ui::ControlId window, const BrandingProfile& profile) {
  auto& state = mainWindowState();
  state.window = window;
  applyBranding(window, profile);
  state.searchHint = kSearchHint;
  state.queueKeepGoing = true;
  state.queueMaxConcurrent = 1;
  bindListArea();
  searchBoxFocusLost();
  giveResultListHotTracking();
  tk().trayAdd(window, trayIconBytes(), trayTipText());
  // The wheel needs nothing installed: the toolkit raises every wheel turn that reaches
  // the window as an event, which handleListAreaEvent gives to wheelHook, and then lets
  // the turn go on to the window's default handling.
  putHintLabelOnProgressBar();
}

void wheelHook(const ui::Event& event) {
  const ui::ControlId window = mainWindowState().window;
  if (event.kind != ui::EventKind::Wheel || window == 0) return;
  const auto left = tk().getInt(window, Prop::Left), top = tk().getInt(window, Prop::Top);
  const auto right = left + tk().getInt(window, Prop::Width), bottom = top + tk().getInt(window, Prop::Height);
  // Strictly inside: a turn on the frame's outermost pixel does not count.
  if (left < event.x && event.x < right && top < event.y && event.y < bottom) wheelStep(event.delta <= 0 ? -1 : 1);
}

bool handleListAreaEvent(ui::Event& event) {
  const ui::ControlId window = mainWindowState().window;
  if (window == 0) return false;
  const ui::ControlId control = event.control;
  switch (event.kind) {
    case ui::EventKind::Resized:
      if (control != window) return false;
      layoutListArea();
      return true;
    case ui::EventKind::Scrolled:
      onListScrollBar(control);
      return true;
    case ui::EventKind::Wheel:
      wheelHook(event);
      return true;
    case ui::EventKind::MouseMove:
      if (control == mainControl("图片框容器")) {
        highlightNameLabel(0);
        return true;
      }
      if (!isRowNameLabel(control)) return false;
      highlightNameLabel(control);
      return true;
    case ui::EventKind::MouseDown:
      if (control != mainControl("图片框容器") && control != mainControl("控件下载进度") &&
          control != mainControl("控件下载提示"))
        return false;
      hideResultList();
      return true;
    case ui::EventKind::TimerTick:
      if (control != mainControl("时钟更新图片组")) return false;
      onResultImagesTimer();
      return true;
    default:
      return false;
  }
}

void releaseMainWindowState() { mainWindowState() = MainWindowState{}; }

}  // namespace qovra
