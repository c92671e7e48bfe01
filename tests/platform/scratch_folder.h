// A fresh folder under the build tree for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"

namespace qovra::platform {

inline std::string scratchFolder() {
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  std::string folder = std::string(QOVRA_BINARY_DIR) + "\\test-tmp\\platform\\" + name;
  deleteTree(folder);
  createFolder(folder);
  return folder;
}

}  // namespace qovra::platform
