// A run directory from which the box starts without the network and without asking
// anything: the vendor's configuration as the local copy "box.txt" (a start in offline
// mode reads it) and a program ini that has had its first run.
#pragma once

#include <string>

#include "platform/charset.h"
#include "platform/files.h"

namespace qovra {

inline constexpr const char* kStartableConfig = "[盒子]\r\n下载源=\r\n[Qovra·演示]\r\n最新版本=1.0\r\n";

inline void makeStartable(const std::string& folder, const std::string& programTitle) {
  const auto gbk = [](const std::string& text) { return platform::fromUtf8(text, platform::Charset::Gbk); };
  platform::writeFile(folder + "\\box.txt", gbk(kStartableConfig));
  platform::writeFile(folder + "\\" + programTitle + ".ini", gbk("[基本配置]\r\n非首次使用=真"));
}

}  // namespace qovra
