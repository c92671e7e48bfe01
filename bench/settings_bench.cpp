// The settings store on the shared ini work (bench/ini_workload.h), holding a real file as
// the program's own ini is held, and in memory to show what the file costs.
#include <benchmark/benchmark.h>

#include <string>

#include "ini_workload.h"
#include "platform/files.h"
#include "settings/settings_store.h"

namespace {

using namespace qovra;
using settings::SettingsStore;

// In the working folder, on the disk the benchmark is run from.
const std::string& iniPath() {
  static const std::string path = "settings_bench_workload.ini";
  return path;
}

// A store over a fresh copy of the work's file, held in write-through mode or read into
// memory.
void openFresh(SettingsStore& store, bool holdFile) {
  platform::writeFile(iniPath(), bench::workloadIni());
  store.setFile(iniPath(), holdFile ? settings::FileMode::WriteThrough : settings::FileMode::MemoryOnly);
}

template <typename Work>
void run(benchmark::State& state, bool holdFile, int operations, Work work) {
  for (auto _ : state) {
    state.PauseTiming();
    SettingsStore store;
    openFresh(store, holdFile);
    state.ResumeTiming();
    work(store);
    state.PauseTiming();
    store.close();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * operations);
}

void readBigSection(benchmark::State& state, bool holdFile) {
  run(state, holdFile, bench::kBigKeys, [](SettingsStore& store) {
    for (int k = 0; k < bench::kBigKeys; ++k) benchmark::DoNotOptimize(store.readEntry(bench::kBigSection, bench::key(k)));
  });
}

void writeBigSection(benchmark::State& state, bool holdFile) {
  run(state, holdFile, bench::kBigKeys, [](SettingsStore& store) {
    for (int k = 0; k < bench::kBigKeys; ++k) store.writeEntry(bench::kBigSection, bench::key(k), bench::newValue(k));
  });
}

void readEverySection(benchmark::State& state, bool holdFile) {
  run(state, holdFile, bench::kSmallSections, [](SettingsStore& store) {
    for (int s = 0; s < bench::kSmallSections; ++s)
      benchmark::DoNotOptimize(store.readEntry(bench::smallSection(s), bench::smallSectionKey()));
  });
}

void writeEverySection(benchmark::State& state, bool holdFile) {
  run(state, holdFile, bench::kSmallSections, [](SettingsStore& store) {
    for (int s = 0; s < bench::kSmallSections; ++s)
      store.writeEntry(bench::smallSection(s), bench::smallSectionKey(), bench::newValue(s));
  });
}

void openTheFile(benchmark::State& state) {
  platform::writeFile(iniPath(), bench::workloadIni());
  for (auto _ : state) {
    SettingsStore store;
    store.setFile(iniPath(), settings::FileMode::WriteThrough);
    benchmark::DoNotOptimize(store.buffer().size());
  }
}

BENCHMARK_CAPTURE(readBigSection, file, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readBigSection, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeBigSection, file, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeBigSection, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readEverySection, file, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readEverySection, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeEverySection, file, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeEverySection, memory, false)->Unit(benchmark::kMillisecond);
BENCHMARK(openTheFile)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const std::string& path : {iniPath(), iniPath() + ".qovra-undo"}) qovra::platform::deleteFile(path);
  return 0;
}
