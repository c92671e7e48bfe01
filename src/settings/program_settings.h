// The program's own ini: programTitle + ".ini" in the run directory, held in write-through
// mode from start-up to exit, and the sections and keys the box keeps in it.
#pragma once

#include <string_view>

#include "settings/settings_store.h"

namespace qovra::settings {

// Usage counts: entry name = number of runs.
inline constexpr std::string_view kUsageCountSection = "软件排序_使用次数";
// Installed versions: entry name = version text.
inline constexpr std::string_view kUsedVersionSection = "使用版本";
// The first-run question: "非首次使用" = boolean word.
inline constexpr std::string_view kBasicSection = "基本配置";
inline constexpr std::string_view kNotFirstUseKey = "非首次使用";
// Icon pictures, as byte values.
inline constexpr std::string_view kIconCacheSection = "图标缓存";

SettingsStore& programSettings();

// Start-up: binds programSettings() to the ini named after the process state's title in
// its run directory (created when missing), and lets every store show its messages and
// process pending window messages through the toolkit. False when the ini could not be
// held for writing (another copy of the box has it): the store then works on its buffer.
bool bindProgramSettings();

// Exit clean-up: closes the ini and leaves the toolkit alone again.
void releaseProgramSettings();

}  // namespace qovra::settings
