// A fresh run directory under the build tree for one test, emptied before it starts.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"

namespace qovra {

inline std::string scratchRunDirectory() {
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  const std::string folder = std::string(QOVRA_BINARY_DIR) + "\\test-tmp\\catalogue\\" + name;
  platform::deleteTree(folder);
  platform::createFolder(folder);
  return folder;
}

}  // namespace qovra
