// A catalogue build on the headless toolkit for 50, 500 and 5,000 entries, every program
// installed (a copy of a fixture program with a version resource and an icon) and the
// program ini warm: installed versions remembered and icons cached by an earlier build,
// as on every start but the first. What is measured is the build itself: parsing the
// configuration, reading the ini, creating, sorting and placing the rows.
#include <benchmark/benchmark.h>

#include <string>

#include "catalogue/box_config.h"
#include "catalogue/catalogue.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "platform/headless/headless_toolkit.h"
#include "settings/program_settings.h"
#include "support/forms.h"
#include "support/process_state.h"
#include "window/catalogue_build.h"
#include "window/main_window.h"

namespace {

using namespace qovra;

std::string configFor(int entries) {
  std::string text = "[盒子]\r\n下载源=\r\n";
  for (int i = 1; i <= entries; ++i) {
    const std::string n = std::to_string(i);
    text += "[Qovra·程序" + n + "]\r\n最新版本=2.3.4." + std::to_string(i % 7) + "\r\n下载地址=http://d.example/" + n +
            ".rar\r\n软件主页=http://h.example/" + n + "\r\n视频教程=http://t.example/" + n + "\r\n软件类型=0\r\n";
  }
  return text;
}

// A run directory with every entry installed and an ini past its first run.
std::string prepareRunDirectory(int entries) {
  const std::string folder = std::string(QOVRA_BINARY_DIR) + "\\bench-tmp\\catalogue-" + std::to_string(entries);
  platform::deleteTree(folder);
  platform::createFolder(folder);
  const auto program = platform::readFile(std::string(QOVRA_BINARY_DIR) + "\\fixtures\\ver_cn.exe");
  for (int i = 1; i <= entries && program; ++i) {
    const std::string name = "Qovra·程序" + std::to_string(i);
    platform::createFolder(programFolder(folder, name));
    platform::writeFile(programFile(folder, name), *program);
  }
  platform::writeFile(folder + "\\Qovra·软件盒子.ini",
                      platform::fromUtf8("[基本配置]\r\n非首次使用=真", platform::Charset::Gbk));
  return folder;
}

void buildCatalogueOf(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  ui::HeadlessToolkit toolkit;
  ui::setToolkit(&toolkit);
  auto& process = processState();
  process.runDirectory = prepareRunDirectory(entries);
  process.executableName = "QovraBox.exe";
  process.programTitle = "Qovra·软件盒子";
  settings::bindProgramSettings();
  const std::string config = configFor(entries);
  auto& services = boxConfigServices();
  services.fetch = [&config](std::string_view) { return config; };
  services.sleep = [](std::uint32_t) {};
  const ui::ControlId window = toolkit.loadForm(mainWindowForm(), [](ui::Event& event) {
    if (event.kind == ui::EventKind::Created) prepareMainWindow(event.control, BrandingProfile{});
  });
  buildCatalogue();  // warms the ini: versions and icons
  for (auto _ : state) {
    buildCatalogue();
    benchmark::DoNotOptimize(catalogueState().rows.size());
  }
  if (catalogueState().rows.size() != static_cast<std::size_t>(entries)) state.SkipWithError("rows missing");
  state.SetItemsProcessed(state.iterations() * entries);
  clearCatalogue();
  catalogueState() = CatalogueState{};
  toolkit.destroyWindow(window);
  releaseMainWindowState();
  settings::releaseProgramSettings();
  restoreBoxConfigServices();
  process = ProcessState{};
  ui::setToolkit(nullptr);
}

BENCHMARK(buildCatalogueOf)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
