// The main window on the headless toolkit, prepared as at start-up, with the program ini
// bound in a fresh run directory, and helpers that lay out catalogue rows the way the
// catalogue build does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/branding.h"
#include "catalogue/catalogue.h"
#include "platform/files.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/scratch_folder.h"
#include "settings/program_settings.h"
#include "support/forms.h"
#include "support/process_state.h"
#include "window/list_area.h"
#include "window/main_window.h"
#include "window/rows.h"
#include "window/version_compare.h"

namespace qovra {

inline std::string fixtureProgram(const std::string& name) {
  return std::string(QOVRA_BINARY_DIR) + "/fixtures/" + name;
}

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::setToolkit(&tk);
    runDirectory = platform::scratchFolder();
    auto& process = processState();
    process = ProcessState{};
    process.runDirectory = runDirectory;
    process.executableName = "QovraBox.exe";
    process.programTitle = "Qovra·软件盒子";
    settings::bindProgramSettings();
  }
  void TearDown() override {
    clearCatalogue();
    catalogueState() = CatalogueState{};
    if (window) tk.destroyWindow(window);
    releaseMainWindowState();
    settings::releaseProgramSettings();
    processState() = ProcessState{};
    ui::setToolkit(nullptr);
    EXPECT_EQ(tk.problems(), std::vector<std::string>{});
  }

  // Loads the main window form with the start-up's creation handler and the list area's
  // event dispatch, and shows it as the active window.
  ui::ControlId open(const BrandingProfile& profile = {}, const ui::FormSpec& form = mainWindowForm()) {
    window = tk.loadForm(form, [this, profile](ui::Event& event) {
      if (event.kind == ui::EventKind::Created)
        prepareMainWindow(event.control, profile);
      else
        handleListAreaEvent(event);
    });
    tk.setInt(window, ui::Prop::Visible, 1);
    return window;
  }

  ui::ControlId control(const char* name) const { return tk.find(window, name); }
  std::int64_t get(ui::ControlId id, ui::Prop prop) const { return tk.getInt(id, prop); }
  std::string text(ui::ControlId id, ui::Prop prop = ui::Prop::Caption) const { return tk.getText(id, prop); }

  // Puts a copy of a fixture program where the box looks for the entry's program.
  void install(const std::string& name, const std::string& fixture) {
    platform::createFolder(programFolder(runDirectory, name));
    auto bytes = platform::readFile(fixtureProgram(fixture));
    ASSERT_TRUE(bytes) << fixture;
    ASSERT_TRUE(platform::writeFile(programFile(runDirectory, name), *bytes));
  }

  static SoftwareEntry entry(const std::string& name, const std::string& latest = "1.0", const std::string& used = "") {
    SoftwareEntry e;
    e.name = name;
    e.latestVersion = latest;
    e.usedVersion = used;
    e.versionState = compareVersions(used, latest);
    e.downloadAddress = "http://downloads.example/" + name + ".rar";
    e.tutorial = "http://tutorials.example/" + name;
    return e;
  }

  // Creates, stores and places one row per entry, as the catalogue build does, and lays
  // the list area out for them.
  void buildRows(const std::vector<SoftwareEntry>& entries) {
    auto& state = catalogueState();
    state.catalogueReady = false;
    for (std::size_t i = 0; i < entries.size(); ++i) state.rows.push_back(createRow(entries[i], static_cast<int>(i + 1)));
    for (std::size_t i = 0; i < state.rows.size(); ++i) placeRow(state.rows[i], static_cast<int>(i + 1));
    if (!state.rows.empty()) {
      const auto& last = state.rows.back().tutorialButton;
      state.contentBottom = static_cast<int>(get(last, ui::Prop::Top) + get(last, ui::Prop::Height));
    }
    layoutListArea();
    state.catalogueReady = true;
  }
  void buildRows(int count) {
    std::vector<SoftwareEntry> entries;
    for (int i = 1; i <= count; ++i) entries.push_back(entry("Qovra·程序" + std::to_string(i)));
    buildRows(entries);
  }

  ui::HeadlessToolkit tk;
  ui::ControlId window = 0;
  std::string runDirectory;
};

}  // namespace qovra
