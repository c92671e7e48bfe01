#include "window/list_area.h"

#include <algorithm>

#include "catalogue/catalogue.h"
#include "window/main_window.h"
#include "window/result_list.h"

namespace qovra {

using ui::Prop;

namespace {

ui::Toolkit& tk() { return ui::toolkit(); }

int get(std::string_view name, Prop prop) { return static_cast<int>(tk().getInt(mainControl(name), prop)); }

void place(std::string_view name, int left, int top, int width) {
  const ui::ControlId control = mainControl(name);
  tk().setInt(control, Prop::Left, left);
  tk().setInt(control, Prop::Top, top);
  tk().setInt(control, Prop::Width, width);
}

void setVerticalPosition(std::int64_t position) {
  const ui::ControlId bar = mainControl("纵向滚动条");
  const auto lowest = tk().getInt(bar, Prop::Minimum);
  tk().setInt(bar, Prop::Position, std::clamp<std::int64_t>(position, lowest, kListSteps));
  mainWindowState().listArea.scroll(ScrollArea::kVertical);
}

}  // namespace

void layoutListArea() {
  const ui::ControlId window = mainWindowState().window;
  if (window == 0) return;
  auto& area = mainWindowState().listArea;
  // The rightmost column ends the content; 10 px of margin to the right and below.
  area.setContentSize(get("控件教程", Prop::Left) + get("控件教程", Prop::Width) + 10,
                      catalogueState().contentBottom + 10, kListSteps);
  const int clientWidth = static_cast<int>(tk().getInt(window, Prop::ClientWidth));
  const int clientHeight = static_cast<int>(tk().getInt(window, Prop::ClientHeight));
  const int viewportTop = get("图片框边界", Prop::Top);
  area.layout(0, viewportTop, clientWidth, clientHeight - viewportTop);

  const int headerHeight = get("图片框底座", Prop::Height);
  place("图片框加载中", 0, headerHeight + 1, get("图片框边界", Prop::Width));
  tk().setInt(mainControl("图片框加载中"), Prop::Height, get("图片框边界", Prop::Height) + 2);
  place("图片框底座", 0, 0, clientWidth);
  place("标签分隔条", 0, headerHeight, clientWidth);
}

void onListScrollBar(ui::ControlId bar) {
  if (bar == 0) return;
  if (bar == mainControl("纵向滚动条")) mainWindowState().listArea.scroll(ScrollArea::kVertical);
  if (bar == mainControl("横向滚动条")) mainWindowState().listArea.scroll(ScrollArea::kBoth);
}

void wheelStep(int direction) {
  hideResultList();
  const auto rows = static_cast<std::int64_t>(catalogueState().rows.size());
  if (rows == 0) return;  // no rows, no share of the range to move by
  const auto position = tk().getInt(mainControl("纵向滚动条"), Prop::Position);
  // position - (100 / (n / 3)) * direction, truncated toward zero, in whole numbers so
  // that 30 rows move by exactly 10 and not by 9.999...
  setVerticalPosition((position * rows - 3 * kListSteps * direction) / rows);
}

void jumpToRow(int rowNumber) {
  const auto rows = static_cast<std::int64_t>(catalogueState().rows.size());
  if (rows == 0) return;
  setVerticalPosition(rowNumber * std::int64_t{kListSteps} / rows);
}

}  // namespace qovra
