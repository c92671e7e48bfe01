#include "catalogue/catalogue.h"

#include <charconv>

namespace qovra {

CatalogueState& catalogueState() {
  static CatalogueState state;
  return state;
}

CatalogueRow* rowAt(int rowNumber) {
  auto& rows = catalogueState().rows;
  if (rowNumber < 1 || rowNumber > static_cast<int>(rows.size())) return nullptr;
  return &rows[static_cast<std::size_t>(rowNumber - 1)];
}

int rowNumberFromTag(std::string_view tag) {
  int number = 0;
  const auto [end, error] = std::from_chars(tag.data(), tag.data() + tag.size(), number);
  if (error != std::errc() || end != tag.data() + tag.size() || number < 1) return 0;
  return number;
}

void clearCatalogue() {
  auto& rows = catalogueState().rows;
  for (const auto& row : rows) {
    for (ui::ControlId control :
         {row.iconBox, row.nameLabel, row.downloadButton, row.deleteButton, row.tutorialButton}) {
      if (control != 0) ui::toolkit().destroyControl(control);
    }
  }
  rows.clear();
}

std::string programFolder(const std::string& runDirectory, const std::string& name) {
  return runDirectory + "\\" + name;
}

std::string programFile(const std::string& runDirectory, const std::string& name) {
  return programFolder(runDirectory, name) + "\\" + name + ".exe";
}

}  // namespace qovra
