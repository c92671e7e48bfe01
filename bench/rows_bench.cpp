// Catalogue rows on the headless toolkit: creating, placing and refreshing 1,000 rows of
// installed programs with the icon cache warm, and what hovering costs in property writes.
#include <benchmark/benchmark.h>

#include <string>

#include "catalogue/catalogue.h"
#include "platform/files.h"
#include "platform/headless/headless_toolkit.h"
#include "settings/program_settings.h"
#include "support/forms.h"
#include "support/process_state.h"
#include "window/list_area.h"
#include "window/main_window.h"
#include "window/row_state.h"
#include "window/rows.h"
#include "window/version_compare.h"

namespace {

using namespace qovra;

constexpr int kRows = 1000;

std::string entryName(int i) { return "Qovra·程序" + std::to_string(i); }

// A run directory beside the benchmark with 1,000 installed copies of a fixture program
// (the build puts them in <build>/fixtures, the benchmark in <build>/bin) and the ini.
class Box {
 public:
  Box() {
    const std::string build = platform::runDirectory() + "\\..";
    auto& process = processState();
    process.runDirectory = build + "\\rows-bench";
    process.executableName = "QovraBox.exe";
    process.programTitle = "Qovra·软件盒子";
    platform::deleteTree(process.runDirectory);
    platform::createFolder(process.runDirectory);
    const auto program = platform::readFile(build + "\\fixtures\\ver_en.exe");
    for (int i = 1; i <= kRows && program; ++i) {
      platform::createFolder(programFolder(process.runDirectory, entryName(i)));
      platform::writeFile(programFile(process.runDirectory, entryName(i)), *program);
    }
    ui::setToolkit(&toolkit_);
    settings::bindProgramSettings();
    ready_ = program.has_value();
  }
  ~Box() {
    close();
    settings::releaseProgramSettings();
    ui::setToolkit(nullptr);
    platform::deleteTree(processState().runDirectory);
  }
  bool ready() const { return ready_; }
  ui::HeadlessToolkit& toolkit() { return toolkit_; }

  void open() {
    window_ = toolkit_.loadForm(mainWindowForm(), [](ui::Event& event) {
      if (event.kind == ui::EventKind::Created)
        prepareMainWindow(event.control, {});
      else
        handleListAreaEvent(event);
    });
    toolkit_.setInt(window_, ui::Prop::Visible, 1);
  }
  void close() {
    clearCatalogue();
    catalogueState().rows.shrink_to_fit();
    if (window_) toolkit_.destroyWindow(window_);
    window_ = 0;
    releaseMainWindowState();
  }
  // As the catalogue build makes them: entries with their installed version, rows
  // created, placed and laid out.
  void buildRows() {
    auto& state = catalogueState();
    state.catalogueReady = false;
    for (int i = 1; i <= kRows; ++i) {
      SoftwareEntry entry;
      entry.name = entryName(i);
      entry.latestVersion = "1.1";
      entry.usedVersion = "1.0.0.0";
      entry.versionState = compareVersions(entry.usedVersion, entry.latestVersion);
      entry.downloadAddress = "http://downloads.example/" + entry.name + ".rar";
      state.rows.push_back(createRow(entry, i));
    }
    for (int i = 1; i <= kRows; ++i) placeRow(*rowAt(i), i);
    state.contentBottom = 8 + 26 * kRows;
    layoutListArea();
    state.catalogueReady = true;
  }

 private:
  ui::HeadlessToolkit toolkit_;
  ui::ControlId window_ = 0;
  bool ready_ = false;
};

// The box of the whole run: made, and its icon cache filled, before the benchmarks run,
// and gone before the program's own globals are.
Box* theBox = nullptr;

Box& warmBox() { return *theBox; }

void BM_CreateAndPlaceRows(benchmark::State& state) {
  Box& box = warmBox();
  if (!box.ready()) return state.SkipWithError("the fixture programs are missing");
  for (auto _ : state) {
    box.open();
    box.buildRows();
    state.PauseTiming();
    box.close();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_CreateAndPlaceRows)->Unit(benchmark::kMillisecond);

void BM_RefreshAllRows(benchmark::State& state) {
  Box& box = warmBox();
  if (!box.ready()) return state.SkipWithError("the fixture programs are missing");
  box.open();
  box.buildRows();
  for (auto _ : state) refreshAllRows();
  state.SetItemsProcessed(state.iterations() * kRows);
  box.close();
}
BENCHMARK(BM_RefreshAllRows)->Unit(benchmark::kMillisecond);

// 1,000 mouse moves over one name label after the first has highlighted it: the counter
// is the number of property writes they caused (none are needed).
void BM_HoverOneLabel(benchmark::State& state) {
  Box& box = warmBox();
  if (!box.ready()) return state.SkipWithError("the fixture programs are missing");
  box.open();
  box.buildRows();
  auto& tk = box.toolkit();
  const ui::ControlId label = rowAt(kRows / 2)->nameLabel;
  tk.mouseMove(label);
  tk.resetWriteCounts();
  for (auto _ : state)
    for (int i = 0; i < 1000; ++i) tk.mouseMove(label);
  int writes = 0;
  for (const auto& row : catalogueState().rows)
    for (ui::ControlId c : {row.iconBox, row.nameLabel, row.downloadButton, row.deleteButton, row.tutorialButton})
      writes += tk.writeCount(c);
  state.counters["writes_per_1000_moves"] = benchmark::Counter(writes / static_cast<double>(state.iterations()));
  state.SetItemsProcessed(state.iterations() * 1000);
  box.close();
}
BENCHMARK(BM_HoverOneLabel)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  {
    Box box;
    if (box.ready()) {
      // As after a first start: icons cached, installed versions recorded.
      box.open();
      box.buildRows();
      refreshAllRows();
      box.close();
    }
    theBox = &box;
    benchmark::RunSpecifiedBenchmarks();
    theBox = nullptr;
  }
  benchmark::Shutdown();
  return 0;
}
