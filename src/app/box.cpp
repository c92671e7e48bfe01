#include "app/box.h"

#include "actions/entry_actions.h"
#include "catalogue/box_config.h"
#include "catalogue/branding.h"
#include "catalogue/catalogue.h"
#include "platform/files.h"
#include "platform/runtime.h"
#include "settings/program_settings.h"
#include "support/forms.h"
#include "support/process_state.h"
#include "support/shortcuts.h"
#include "window/catalogue_build.h"
#include "window/main_window.h"
#include "window/usage_order.h"

namespace qovra::app {
namespace {

bool cleanedUp = true;

void onMainWindowEvent(ui::Event& event) {
  if (event.kind == ui::EventKind::Created) {
    prepareMainWindow(event.control, brandingProfile());
    return;
  }
  if (handleCatalogueEvent(event) || handleUsageOrderTimer(event) || handleRowGesture(event) ||
      handleListAreaEvent(event))
    return;
  // Closing the main window is always allowed and ends the program.
  if (event.kind == ui::EventKind::Destroyed && event.control == ui::toolkit().windowOf(event.control))
    ui::toolkit().quit(0);
}

}  // namespace

void readCommandLine(const std::vector<std::string>& arguments) {
  auto& state = processState();
  state.offlineMode = false;
  state.pendingDeletePath.clear();
  if (arguments.empty() || arguments.front().empty()) return;
  if (arguments.front() == kOfflineSwitch)
    state.offlineMode = true;
  else
    state.pendingDeletePath = arguments.front();
}

void checkOfflineShortcut() {
  const auto& state = processState();
  if (state.offlineMode) return;
  const std::string shortcut = state.runDirectory + "\\" + kOfflineShortcutName;
  const std::string executable = state.executablePath();
  if (readShortcutTarget(shortcut) == executable) return;
  ShortcutOptions options;
  options.arguments = kOfflineSwitch;
  createShortcut(shortcut, executable, options);
}

ui::ControlId startUp(const std::vector<std::string>& arguments) {
  cleanedUp = false;
  // A build that finds no configuration at all ends the program through the exit clean-up.
  boxConfigServices().endProgram = endProgram;
  readCommandLine(arguments);
  checkOfflineShortcut();
  processState().programTitle = kProgramTitle;
  // Before the ini is bound: its name follows the brand word.
  readBrandingFile();
  settings::bindProgramSettings();
  const ui::ControlId window = ui::toolkit().loadForm(mainWindowForm(), onMainWindowEvent);
  ui::toolkit().setInt(window, ui::Prop::Visible, 1);
  return window;
}

void exitCleanup() {
  if (cleanedUp) return;
  cleanedUp = true;
  // The rows' controls went with the main window; only the records remain to release.
  catalogueState() = CatalogueState{};
  resetCatalogueBuild();
  pendingAction() = PendingAction{};
  releaseMainWindowState();
  settings::releaseProgramSettings();
  brandingProfile() = BrandingProfile{};
  auto& state = processState();
  state.pendingDeletePath.clear();
  state.programTitle.clear();
  state.offlineMode = false;
}

void endProgram(int exitCode) {
  exitCleanup();
  ui::toolkit().quit(exitCode);
}

int runBox(ui::Toolkit& toolkit, const std::vector<std::string>& arguments) {
  ui::setToolkit(&toolkit);
  startUp(arguments);
  const int exitCode = toolkit.runMessageLoop();
  exitCleanup();
  ui::setToolkit(nullptr);
  return exitCode;
}

int runBox() {
  platform::initialiseRuntime();
  auto& state = processState();
  state.runDirectory = platform::runDirectory();
  state.executableName = platform::executableName();
  auto toolkit = platform::createNativeToolkit();
  int exitCode = 1;
  if (toolkit) exitCode = runBox(*toolkit, platform::commandLineArguments());
  platform::shutdownRuntime();
  return exitCode;
}

}  // namespace qovra::app
