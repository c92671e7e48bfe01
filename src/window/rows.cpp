#include "window/rows.h"

#include <string>

#include "support/process_state.h"
#include "window/main_window.h"
#include "window/row_state.h"
#include "window/row_texts.h"

namespace qovra {

using ui::Prop;

namespace {

ui::Toolkit& tk() { return ui::toolkit(); }

std::int64_t templateValue(const char* name, Prop prop) { return tk().getInt(mainControl(name), prop); }

ui::ControlId copyTemplate(const char* name, const std::string& tag) {
  const ui::ControlId copy = tk().copyControl(mainControl(name));
  tk().setText(copy, Prop::Tag, tag);
  return copy;
}

void showAt(ui::ControlId control, std::int64_t top, const std::string& tag) {
  tk().setInt(control, Prop::Top, top);
  tk().setInt(control, Prop::Visible, 1);
  tk().setText(control, Prop::Tag, tag);
}

}  // namespace

CatalogueRow createRow(const SoftwareEntry& entry, int rowNumber) {
  const std::string tag = std::to_string(rowNumber);
  CatalogueRow row;
  row.entry = entry;
  row.iconBox = copyTemplate("控件图标", tag);
  if (entry.versionState != kNotDownloaded) {
    loadRowIcon(programFile(processState().runDirectory, entry.name), row.iconBox, entry.usedVersion);
  }
  row.nameLabel = copyTemplate("控件名称", tag);
  tk().setText(row.nameLabel, Prop::Caption, rowLabelText(entry));

  row.downloadButton = copyTemplate("控件下载点击", tag);
  applyDownloadButtonState(row.downloadButton, downloadButtonState(entry));
  row.restingCaption = tk().getText(row.downloadButton, Prop::Caption);

  row.deleteButton = copyTemplate("控件删除", tag);
  tk().setInt(row.deleteButton, Prop::Enabled, entry.versionState != kNotDownloaded);

  row.tutorialButton = copyTemplate("控件教程", tag);
  if (entry.tutorial.empty()) {
    tk().setText(row.tutorialButton, Prop::Caption, "暂无教程");
    tk().setInt(row.tutorialButton, Prop::Enabled, 0);
  }
  row.idle = 1;
  return row;
}

void placeRow(CatalogueRow& row, int rowNumber) {
  const std::string tag = std::to_string(rowNumber);
  const std::int64_t i = rowNumber - 1;
  // Geometry is read from the templates each time, so the form alone decides the pitch.
  const auto nameTop = templateValue("控件名称", Prop::Top);
  const auto nameHeight = templateValue("控件名称", Prop::Height);
  const auto iconHeight = templateValue("控件图标", Prop::Height);
  const auto rowTop = nameTop + i * nameHeight;
  showAt(row.nameLabel, rowTop, tag);
  showAt(row.iconBox, rowTop + (nameHeight - iconHeight) / 2, tag);
  const std::pair<ui::ControlId, const char*> buttons[] = {
      {row.downloadButton, "控件下载点击"}, {row.deleteButton, "控件删除"}, {row.tutorialButton, "控件教程"}};
  for (const auto& [control, templateName] : buttons) {
    showAt(control, templateValue(templateName, Prop::Top) + i * templateValue(templateName, Prop::Height), tag);
  }
}

void highlightNameLabel(ui::ControlId hoveredLabel) {
  auto& state = catalogueState();
  if (!state.catalogueReady) return;
  // Handlers run while a label is reset may rebuild the catalogue: the loop reads the
  // list afresh at every turn instead of holding on to a row.
  for (std::size_t i = 0; i < state.rows.size(); ++i) {
    const ui::ControlId label = state.rows[i].nameLabel;
    const auto colour = static_cast<ui::Colour>(tk().getInt(label, Prop::TextColour));
    if (label == hoveredLabel) {
      if (colour == kHoverColour) continue;
      tk().setInt(label, Prop::TextColour, kHoverColour);
      tk().setInt(label, Prop::FontUnderline, 1);
    } else if (colour != kNameColour) {
      tk().setInt(label, Prop::TextColour, kNameColour);
      tk().setInt(label, Prop::FontUnderline, 0);
      tk().processPendingMessages();
    }
  }
}

}  // namespace qovra
