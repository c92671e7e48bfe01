#include "actions/entry_actions.h"

#include "catalogue/catalogue.h"
#include "platform/shell.h"
#include "settings/program_settings.h"
#include "support/process_state.h"
#include "support/shortcuts.h"
#include "window/list_area.h"
#include "window/main_window.h"
#include "window/result_list.h"

namespace qovra {

using ui::Prop;

namespace {

constexpr int kUsageOrderDelayMs = 500;

ui::Toolkit& tk() { return ui::toolkit(); }

void tellUser(const std::string& text) { tk().messageBox(mainWindowState().window, text, {}, ui::kOk); }

std::string programPath(const SoftwareEntry& entry) { return programFile(processState().runDirectory, entry.name); }

CatalogueRow* rowNamed(const std::string& name) {
  for (CatalogueRow& row : catalogueState().rows)
    if (row.entry.name == name) return &row;
  return nullptr;
}

void runProgram(const SoftwareEntry& entry) {
  const std::string name = entry.name;
  const std::int32_t count = entry.usageCount + 1;
  shellOpen(programPath(entry));
  // Handlers run here may rebuild or re-sort the rows: the entry is found again by name.
  tk().processPendingMessages();
  catalogueState().lastRunName = name;
  if (CatalogueRow* row = rowNamed(name)) row->entry.usageCount = count;
  auto& ini = settings::programSettings();
  ini.selectSection(settings::kUsageCountSection);
  ini.writeNumber(name, count);
  tk().setInt(mainControl("时钟更新使用顺序"), Prop::TimerPeriod, kUsageOrderDelayMs);
}

// Which action a press or release on a row control asks for.
enum class Gesture { None, Run, Locate, Shortcut, Homepage };

Gesture nameLabelGesture(const ui::Event& event) {
  if (event.kind == ui::EventKind::MouseUp && event.button == ui::kRightButton) return Gesture::Locate;
  if (event.kind != ui::EventKind::MouseDown || event.button != ui::kLeftButton) return Gesture::None;
  if (event.keys == ui::kCtrl) return Gesture::Homepage;
  if (event.keys == ui::kAlt) return Gesture::Shortcut;
  return Gesture::Run;
}

Gesture iconBoxGesture(const ui::Event& event) {
  if (event.kind != ui::EventKind::MouseDown) return Gesture::None;
  if (event.button == ui::kRightButton) return Gesture::Locate;
  if (event.button != ui::kLeftButton) return Gesture::None;
  return event.keys == ui::kCtrl ? Gesture::Homepage : Gesture::Run;
}

}  // namespace

PendingAction& pendingAction() {
  static PendingAction action;
  return action;
}

std::function<void(int rowNumber)>& downloadButtonAction() {
  static std::function<void(int)> action;
  return action;
}

void shellOpen(const std::string& address, const std::string& parameters) {
  platform::shell().open(address, parameters);
}

void actOnEntry(int rowNumber, bool locate, bool shortcut) {
  const CatalogueRow* row = rowAt(rowNumber);
  if (!row) return;
  if (row->entry.versionState != kNotDownloaded) {
    performEntryAction(rowNumber, locate, shortcut);
    return;
  }
  tellUser("《" + row->entry.name + "》还没下载呢！确定后将自动下载。。");
  pendingAction() = {rowNumber, locate, shortcut};
  if (catalogueState().scrollToActedRow) jumpToRow(rowNumber);
  if (downloadButtonAction()) downloadButtonAction()(rowNumber);
}

void performEntryAction(int rowNumber, bool locate, bool shortcut) {
  CatalogueRow* row = rowAt(rowNumber);
  if (!row) return;
  if (locate) {
    platform::shell().openInExplorer(programPath(row->entry));
  } else if (shortcut) {
    // Without a desktop the name alone would land in whatever folder is current.
    const std::string desktop = specialFolderPath(kDesktopFolder);
    if (!desktop.empty()) createShortcut(desktop + row->entry.name + ".lnk", programPath(row->entry));
  } else {
    runProgram(row->entry);
  }
}

void runPendingAction(int installedRow) {
  PendingAction& pending = pendingAction();
  if (pending.entry == 0 || pending.entry != installedRow) return;
  const PendingAction action = pending;
  pending = PendingAction{};
  performEntryAction(action.entry, action.locate, action.shortcut);
}

void openHomepage(int rowNumber) {
  const CatalogueRow* row = rowAt(rowNumber);
  if (!row) return;
  if (row->entry.homepage.empty()) {
    tellUser("《" + row->entry.name + "》暂无主页！详情可咨询" + catalogueState().brandName);
    return;
  }
  shellOpen(row->entry.homepage);
}

bool handleRowGesture(const ui::Event& event) {
  const int rowNumber = rowNumberFromTag(tk().getText(event.control, Prop::Tag));
  const CatalogueRow* row = rowAt(rowNumber);
  if (!row || (event.control != row->nameLabel && event.control != row->iconBox)) return false;
  const Gesture gesture = event.control == row->nameLabel ? nameLabelGesture(event) : iconBoxGesture(event);
  switch (gesture) {
    case Gesture::None: return false;
    case Gesture::Run: actOnEntry(rowNumber); break;
    case Gesture::Locate: actOnEntry(rowNumber, true); break;
    case Gesture::Shortcut: actOnEntry(rowNumber, false, true); break;
    case Gesture::Homepage: openHomepage(rowNumber); break;
  }
  hideResultList();
  return true;
}

}  // namespace qovra
