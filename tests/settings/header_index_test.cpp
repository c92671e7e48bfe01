// The header index must find exactly what a search of the text finds, for every kind of
// line that looks like a header or nearly does, on a text large enough to be indexed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/ini_text.h"

namespace qovra::settings::ini {
namespace {

TEST(HeaderIndexTest, FindsWhatTheSearchFinds) {
  // GBK "乙" is B2 D2; "蔓" is C2 5D: its second byte is "]".
  const std::string tricky[] = {
      "[first]\r\nk=1",        "[dup]\r\na=1",          "[dup]\r\na=2",         "x[inline]\r\n",
      "[a]b]\r\n",             "[open\r\n",             "[]\r\n",               "[sp ace]\r\n",
      "[\xB2\xD2]\r\n",        "[\xC2\x5D]\r\n",        "[\xC2\x5D\xB2\xD2]\r\n", "k=[value]\r\n",
      "[tail]garbage\r\n",     "\r\n[blank-before]\r\n", "[line\rbreak]\r\n",
  };
  std::string text;
  for (const std::string& piece : tricky) text += piece + "\r\n";
  for (int i = 0; text.size() < 40 * 1024; ++i) text += "[filler" + std::to_string(i) + "]\r\nkey=value\r\n";
  text += "[last]";

  const std::vector<std::string> names = {
      "first", "dup", "inline", "a", "a]b", "open", "", "sp ace", "\xB2\xD2", "\xC2", "\xC2\x5D",
      "\xC2\x5D\xB2\xD2", "value", "tail", "blank-before", "line\rbreak", "line", "filler0", "filler77",
      "last", "missing", "fill", "[first]"};
  HeaderIndex index;
  for (const std::string& name : names) EXPECT_EQ(index.find(text, name), findHeader(text, name)) << name;
  EXPECT_EQ(index.find(text, "first"), 0u);
  EXPECT_EQ(index.find(text, "inline"), npos);
}

TEST(HeaderIndexTest, AClearedIndexFollowsTheNewText) {
  std::string text(20 * 1024, 'x');
  text += "\r\n[s]\r\n";
  HeaderIndex index;
  const std::size_t before = index.find(text, "s");
  ASSERT_NE(before, npos);
  text.insert(0, "[t]\r\n");
  index.clear();
  EXPECT_EQ(index.find(text, "s"), before + 5);
  EXPECT_EQ(index.find(text, "t"), 0u);
}

}  // namespace
}  // namespace qovra::settings::ini
