// A run directory from which the box starts without the network and without asking
// anything: the vendor's configuration as the local copy "box.txt" (a start in offline
// mode reads it) and a program ini that has had its first run.
#pragma once

#include <string>

#include "catalogue/branding.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "support/process_state.h"

namespace qovra {

inline constexpr const char* kStartableConfig = "[盒子]\r\n下载源=\r\n[Qovra·演示]\r\n最新版本=1.0\r\n";

inline void makeStartable(const std::string& folder, const std::string& programTitle) {
  const auto gbk = [](const std::string& text) { return platform::fromUtf8(text, platform::Charset::Gbk); };
  platform::writeFile(folder + "\\box.txt", gbk(kStartableConfig));
  platform::writeFile(folder + "\\" + programTitle + ".ini", gbk("[基本配置]\r\n非首次使用=真"));
}

// The box's program in the folder carries a branding file with this profile.
inline bool brandBox(const std::string& folder, const BrandingProfile& profile) {
  return platform::writeFile(folder + "\\QovraBox.exe", "MZ") &&
         writeBrandingFile(folder + "\\QovraBox.exe", folder + "\\qovra.rc", brandingPayload(profile));
}

// The process as if QovraBox.exe had been started from the folder.
inline void runFrom(const std::string& folder) {
  auto& state = processState();
  state = ProcessState{};
  state.runDirectory = folder;
  state.executableName = "QovraBox.exe";
}

}  // namespace qovra
