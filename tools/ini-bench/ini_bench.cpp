// Under Windows (or Wine): the settings store against the platform's own profile functions
// (GetPrivateProfileStringW, WritePrivateProfileStringW) doing the same ini work
// (bench/ini_workload.h) on equal copies of the same file, timed in one run.
// Usage: ini_bench [rounds]   (in a writable folder; prints a table and the ratios)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "ini_workload.h"
#include "platform/files.h"
#include "settings/settings_store.h"

namespace {

using namespace qovra;
using Clock = std::chrono::steady_clock;

std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::string folderPath() {
  wchar_t folder[MAX_PATH];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
  return std::string(folder, folder + n);  // the benchmark folder is ASCII
}

// What one side is asked to do; each call gets a fresh copy of the work's file.
struct Side {
  std::function<void(const std::string& path)> begin;
  std::function<std::string(const std::string& section, const std::string& key)> read;
  std::function<void(const std::string& section, const std::string& key, const std::string& value)> write;
  std::function<void()> end;
};

Side storeSide() {
  auto store = std::make_shared<settings::SettingsStore>();
  return {[store](const std::string& path) { store->setFile(path, settings::FileMode::WriteThrough); },
          [store](const std::string& section, const std::string& key) { return store->readEntry(section, key); },
          [store](const std::string& section, const std::string& key, const std::string& value) {
            store->writeEntry(section, key, value);
          },
          [store] { store->close(); }};
}

Side profileSide() {
  auto path = std::make_shared<std::wstring>();
  return {[path](const std::string& file) { *path = wide(file); },
          [path](const std::string& section, const std::string& key) {
            wchar_t value[256];
            const DWORD n = GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), L"", value, 256,
                                                     path->c_str());
            return std::string(value, value + n);
          },
          [path](const std::string& section, const std::string& key, const std::string& value) {
            WritePrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), wide(value).c_str(), path->c_str());
          },
          [] { WritePrivateProfileStringW(nullptr, nullptr, nullptr, nullptr); }};  // flush the cache
}

struct Work {
  const char* name;
  int operations;
  std::function<void(Side&, std::string& reads)> run;
};

const Work kWorks[] = {
    {"1,000 keys of one section, read", bench::kBigKeys,
     [](Side& side, std::string& reads) {
       for (int k = 0; k < bench::kBigKeys; ++k) reads += side.read(bench::kBigSection, bench::key(k));
     }},
    {"1,000 keys of one section, written", bench::kBigKeys,
     [](Side& side, std::string&) {
       for (int k = 0; k < bench::kBigKeys; ++k) side.write(bench::kBigSection, bench::key(k), bench::newValue(k));
     }},
    {"one key in each of 200 sections, read", bench::kSmallSections,
     [](Side& side, std::string& reads) {
       for (int s = 0; s < bench::kSmallSections; ++s) reads += side.read(bench::smallSection(s), bench::smallSectionKey());
     }},
    {"one key in each of 200 sections, written", bench::kSmallSections,
     [](Side& side, std::string&) {
       for (int s = 0; s < bench::kSmallSections; ++s)
         side.write(bench::smallSection(s), bench::smallSectionKey(), bench::newValue(s));
     }},
};

// The best of `rounds` timings in milliseconds; what was read and the file afterwards.
double timeWork(const Work& work, Side side, const std::string& path, int rounds, std::string& reads,
                std::string& file) {
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    platform::writeFile(path, bench::workloadIni());
    reads.clear();
    side.begin(path);
    const auto start = Clock::now();
    work.run(side, reads);
    side.end();
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  file = platform::readFile(path).value_or("");
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string storePath = folderPath() + "\\ini_bench_store.ini";
  const std::string profilePath = folderPath() + "\\ini_bench_profile.ini";
  std::printf("%d-line ini of %zu bytes, best of %d rounds\n", 1 + bench::kBigKeys + bench::kSmallSections * (1 + bench::kKeysPerSmallSection),
              bench::workloadIni().size(), rounds);
  std::printf("%-42s %12s %12s %9s  %s\n", "work", "store ms", "profile ms", "ratio", "same result");
  for (const Work& work : kWorks) {
    std::string storeReads, profileReads, storeFile, profileFile;
    const double store = timeWork(work, storeSide(), storePath, rounds, storeReads, storeFile);
    const double profile = timeWork(work, profileSide(), profilePath, rounds, profileReads, profileFile);
    const bool same = storeReads == profileReads && storeFile == profileFile;
    std::printf("%-42s %12.2f %12.2f %8.1fx  %s\n", work.name, store, profile, profile / store, same ? "yes" : "no");
  }
  for (const std::string& path : {storePath, storePath + ".qovra-undo", profilePath}) platform::deleteFile(path);
  return 0;
}
