// The process: global objects, the start-up routine, the message loop and the exit clean-up.
#pragma once

#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace qovra::app {

inline constexpr const char* kProgramTitle = "Qovra·软件盒子";

// Start-up step 1: the first argument is the offline switch "lxms" (exactly) or the path of
// a file to delete after start; further arguments are ignored.
void readCommandLine(const std::vector<std::string>& arguments);

// Start-up step 2: outside offline mode, the offline shortcut in the run directory must
// start this very executable; a missing, unreadable or stale one is rewritten.
void checkOfflineShortcut();

// The start-up routine: command line, offline shortcut, title, main window. Returns the
// main window. The process state's run directory and executable name must be set.
ui::ControlId startUp(const std::vector<std::string>& arguments);

// Releases every global object once; later calls do nothing until the next start-up.
void exitCleanup();

// Ends the program from inside (a fatal configuration error, quitting from the tray):
// the exit clean-up runs and the message loop ends with this code.
void endProgram(int exitCode);

// The whole process on the given toolkit: start-up, message loop, exit clean-up.
int runBox(ui::Toolkit& toolkit, const std::vector<std::string>& arguments);

// The process entry of the real program: the platform's own toolkit and command line.
int runBox();

}  // namespace qovra::app
