// What the process learns at start-up and every part of the box may read: the command
// line's switches, the program title and where the program runs from.
#pragma once

#include <string>

namespace qovra {

struct ProcessState {
  bool offlineMode = false;       // started with "lxms"; cleared only by "检测更新"
  std::string pendingDeletePath;  // first argument when it is not "lxms": a file to delete
  std::string programTitle;       // "Qovra·软件盒子", with the brand word when branded
  std::string runDirectory;       // folder of the running executable, no trailing "\"
  std::string executableName;     // file name of the running executable

  std::string executablePath() const { return runDirectory + "\\" + executableName; }
};

ProcessState& processState();

}  // namespace qovra
