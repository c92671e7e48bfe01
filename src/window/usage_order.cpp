#include "window/usage_order.h"

#include <algorithm>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "window/list_area.h"
#include "window/main_window.h"
#include "window/rows.h"

namespace qovra {

using ui::Prop;

namespace {

ui::Toolkit& tk() { return ui::toolkit(); }

// The smallest row index above i whose entry row i precedes. The scan goes on past rows
// it does not precede, so equal counts further up do not stop a row short.
std::optional<std::size_t> placeAbove(const std::vector<CatalogueRow>& rows, std::size_t i) {
  std::optional<std::size_t> target;
  for (std::size_t t = i; t-- > 0;) {
    if (entryPrecedes(rows[i].entry, rows[t].entry)) target = t;
  }
  return target;
}

void sortRows(std::vector<CatalogueRow>& rows, std::string_view name) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!name.empty() && rows[i].entry.name != name) continue;
    if (const auto t = placeAbove(rows, i)) {
      std::rotate(rows.begin() + static_cast<std::ptrdiff_t>(*t), rows.begin() + static_cast<std::ptrdiff_t>(i),
                  rows.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    }
  }
}

// Places every row; true when the vertical bar was moved to follow the named entry.
bool placeRows(std::vector<CatalogueRow>& rows, std::string_view name) {
  const auto n = static_cast<std::int64_t>(rows.size());
  bool follow = false;
  for (std::int64_t i = 1; i <= n; ++i) {
    CatalogueRow& row = rows[static_cast<std::size_t>(i - 1)];
    placeRow(row, static_cast<int>(i));
    if (name.empty() || !catalogueState().scrollToActedRow) continue;
    if (tk().getText(row.nameLabel, Prop::Caption).find(name) == std::string::npos) continue;
    tk().setInt(mainControl("纵向滚动条"), Prop::Position, kListSteps * i / n);
    follow = true;
  }
  return follow;
}

}  // namespace

bool entryPrecedes(const SoftwareEntry& a, const SoftwareEntry& b) {
  return a.usageCount > b.usageCount || (a.usageCount == b.usageCount && a.position < b.position);
}

void sortAndLayout(std::string_view name, bool downloadRunning) {
  CatalogueState& state = catalogueState();
  if (state.layoutBusy) return;
  if (!name.empty() && downloadRunning) return;
  state.layoutBusy = true;
  sortRows(state.rows, name);
  const bool follow = placeRows(state.rows, name);
  tk().setInt(mainControl("时钟更新图片组"), Prop::TimerPeriod, 500);
  if (follow && state.scrollToActedRow) {
    state.scrollToActedRow = false;
    onListScrollBar(mainControl("纵向滚动条"));
  }
  state.layoutBusy = false;
}

bool handleUsageOrderTimer(const ui::Event& event) {
  const ui::ControlId timer = mainControl("时钟更新使用顺序");
  if (event.kind != ui::EventKind::TimerTick || timer == 0 || event.control != timer) return false;
  tk().setInt(timer, Prop::TimerPeriod, 0);
  tk().processPendingMessages();
  const bool downloadRunning = tk().getInt(mainControl("时钟下载"), Prop::TimerPeriod) != 0;
  sortAndLayout(catalogueState().lastRunName, downloadRunning);
  return true;
}

}  // namespace qovra
