#include "catalogue/entry_name.h"

#include <gtest/gtest.h>

#include <string>

namespace qovra {
namespace {

using namespace std::string_literals;

TEST(EntryName, OnlyAPlainFolderNameInsideTheRunDirectoryIsSafe) {
  struct Case {
    std::string name;
    bool safe;
  } cases[] = {
      {"Qovra·记事本", true},
      {"Qovra·Tool v1.2", true},
      {"a.b", true},
      {".hidden", true},
      {"CONSOLE", true},
      {"COM10", true},
      {"LPTX", true},
      {"nul-tool", true},
      {"", false},
      {"..", false},
      {".", false},
      {"a..b", false},
      {"..\\..\\Windows", false},
      {"sub\\dir", false},
      {"sub/dir", false},
      {"C:evil", false},
      {"D:\\x", false},
      {"name\x01", false},
      {"tab\there", false},
      {"line\r\nbreak", false},
      {"zero\0byte"s, false},
      {"del\x7f", false},
      {"star*", false},
      {"what?", false},
      {"\"quoted\"", false},
      {"<a>", false},
      {"pipe|", false},
      {"trailing.", false},
      {"trailing ", false},
      {"CON", false},
      {"con", false},
      {"Nul", false},
      {"PRN.txt", false},
      {"aux.tar.gz", false},
      {"NUL .exe", false},
      {"COM1", false},
      {"com9.log", false},
      {"LPT1", false},
      {"lpt0", false},
      {"CONIN$", false},
      {"conout$.x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isSafeEntryName(c.name), c.safe) << "\"" << c.name << "\"";
}

}  // namespace
}  // namespace qovra
