// What a gesture on a row does: run the program (counting the run so that the most used
// programs rise), open its folder, its homepage or put a shortcut to it on the desktop.
// For a program that is not downloaded yet the wanted action waits for its installation.
#pragma once

#include <functional>
#include <string>

#include "platform/toolkit.h"

namespace qovra {

// The action that waits for a row's download and installation; entry 0 = none.
struct PendingAction {
  int entry = 0;
  bool locate = false;
  bool shortcut = false;
};
PendingAction& pendingAction();

// Starts (or, when it is queued or running, stops) a row's download as its download
// button does. The download queue puts itself here; until it does nothing starts.
std::function<void(int rowNumber)>& downloadButtonAction();

// The shell's "open" verb; the result is not examined.
void shellOpen(const std::string& address, const std::string& parameters = {});

// The row's program if it is downloaded; otherwise tells the user it will be downloaded,
// remembers the action (a newer one replaces an older one) and starts the download.
// Locate wins over shortcut; with neither the program runs. A row number that names no
// row is ignored.
void actOnEntry(int rowNumber, bool locate = false, bool shortcut = false);
// Runs the program (counting the run and starting the usage-order timer), opens its
// folder in Explorer with the program selected, or puts a shortcut on the desktop.
void performEntryAction(int rowNumber, bool locate, bool shortcut);
// After an installation: the action waiting for this row, if any, is carried out.
void runPendingAction(int installedRow);

// The homepage in the browser, or a message that there is none.
void openHomepage(int rowNumber);

// Presses and releases on a row's name label and icon: the gesture table. The result
// list is hidden after each. True when the event was one of them.
bool handleRowGesture(const ui::Event& event);

}  // namespace qovra
