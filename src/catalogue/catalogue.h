// The catalogue: the rows of the main window in display order, each owning its entry and
// its five controls, and the values a catalogue build leaves for the rest of the box.
#pragma once

#include <string>
#include <vector>

#include "catalogue/software_entry.h"
#include "platform/toolkit.h"

namespace qovra {

struct CatalogueRow {
  int imageIndex = 0;           // the row icon's index in the result list's image list
  std::string restingCaption;   // download caption to restore when a transfer is stopped
  int idle = 1;                 // 1 unless the row's transfer is running
  ui::ControlId iconBox = 0;
  ui::ControlId nameLabel = 0;
  ui::ControlId downloadButton = 0;
  ui::ControlId deleteButton = 0;
  ui::ControlId tutorialButton = 0;
  SoftwareEntry entry;
};

// Row numbers are 1-based; every row control carries its row number as text in its tag.
struct CatalogueState {
  std::vector<CatalogueRow> rows;
  std::string brandName = "Qovra";
  std::string downloadRoot;     // where downloads are unpacked before installation
  std::string downloadSource;   // "下载源" of the configuration in use; cookie text of resolvers
  bool catalogueReady = false;  // clear while a build runs
  bool layoutBusy = false;      // set while the rows are sorted and placed
  std::string lastRunName;
  // Raised when the user acted on an entry from the search results: the next layout that
  // moves that entry brings its row into view.
  bool scrollToActedRow = false;
  int contentBottom = 0;        // bottom edge of the last row in content coordinates
};

CatalogueState& catalogueState();

// The row with this 1-based number, or null when there is none (a tag that does not
// convert, a stale event after a rebuild).
CatalogueRow* rowAt(int rowNumber);
// The row number carried by a control's tag text: 0 when it is not a row number.
int rowNumberFromTag(std::string_view tag);

// Destroys every row's controls and empties the list.
void clearCatalogue();

// Paths that follow from an entry's name, under the run directory (no trailing "\").
std::string programFolder(const std::string& runDirectory, const std::string& name);
std::string programFile(const std::string& runDirectory, const std::string& name);

}  // namespace qovra
