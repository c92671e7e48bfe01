// The ini work both settings benchmarks measure, so the native benchmark and the Windows
// comparison under Wine run exactly the same reads and writes on the same bytes:
//  - a 5,001-line ini: 100 sections of 19 keys, then the section "big" with 1,000 keys in
//    the middle of the file, then 100 more sections of 19 keys;
//  - the 1,000 keys of "big" read, then written with longer values (each write moves the
//    second half of the file);
//  - one key in each of the 200 small sections read, then written with a longer value.
// Names and values are ASCII, so the platform's ANSI profile functions read the same file.
#pragma once

#include <string>

namespace qovra::bench {

inline constexpr int kBigKeys = 1000;
inline constexpr int kSmallSections = 200;
inline constexpr int kKeysPerSmallSection = 19;
inline constexpr const char* kBigSection = "big";

inline std::string smallSection(int i) { return "section" + std::to_string(i); }
inline std::string key(int i) { return "key" + std::to_string(i); }
inline std::string value(int i) { return "value-" + std::to_string(i); }
inline std::string newValue(int i) { return "changed-value-" + std::to_string(i); }
// The key of a small section that the per-section work reads and writes.
inline std::string smallSectionKey() { return key(kKeysPerSmallSection / 2); }

inline std::string workloadIni() {
  std::string text;
  auto addSection = [&text](const std::string& name, int keys) {
    text.append("[").append(name).append("]\r\n");
    for (int k = 0; k < keys; ++k) text.append(key(k)).append("=").append(value(k)).append("\r\n");
  };
  for (int s = 0; s < kSmallSections / 2; ++s) addSection(smallSection(s), kKeysPerSmallSection);
  addSection(kBigSection, kBigKeys);
  for (int s = kSmallSections / 2; s < kSmallSections; ++s) addSection(smallSection(s), kKeysPerSmallSection);
  return text;
}

}  // namespace qovra::bench
