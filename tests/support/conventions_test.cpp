#include "support/conventions.h"

#include <gtest/gtest.h>

namespace qovra {
namespace {

TEST(Conventions, GbkLengthCountsChineseCharactersAsTwoBytes) {
  EXPECT_EQ(gbkLength(""), 0);
  EXPECT_EQ(gbkLength("abc"), 3);
  EXPECT_EQ(gbkLength("软件"), 4);
  EXPECT_EQ(gbkLength("[免]Qovra·记事本"), 2 + 2 + 5 + 2 + 6);
}

TEST(Conventions, PaddingFillsToTheByteCountAndNeverCuts) {
  EXPECT_EQ(padToGbkBytes("软件", 6), "软件  ");
  EXPECT_EQ(padToGbkBytes("abcdef", 4), "abcdef");
  EXPECT_EQ(padToGbkBytes("", 3), "   ");
}

TEST(Conventions, RealsReadFromIniTexts) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"12", 12},   {"1.9", 1.9},     {"-1.9", -1.9}, {"  7abc", 7}, {"abc", 0},
      {"", 0},      {"+3.5", 3.5},    {".5", 0.5},    {"1.2.3", 1.2}, {"1e3", 1},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(readReal(c.text), c.value) << c.text;
}

TEST(Conventions, WholeNumbersTruncateTowardZero) {
  EXPECT_EQ(truncateToInt(1.9), 1);
  EXPECT_EQ(truncateToInt(-1.9), -1);
  EXPECT_EQ(truncateToInt(readReal("一点九")), 0);
  EXPECT_EQ(truncateToInt(1e12), 2147483647);
  EXPECT_EQ(truncateToInt(-1e12), -2147483647 - 1);
}

TEST(Conventions, RealsEqualWithinTheTolerance) {
  EXPECT_TRUE(realsEqual(1.0, 1.00000009));
  EXPECT_FALSE(realsEqual(1.0, 1.0000002));
}

TEST(Conventions, BooleanWords) {
  EXPECT_EQ(boolWord(true), "真");
  EXPECT_EQ(boolWord(false), "假");
  EXPECT_TRUE(wordIsTrue("真"));
  EXPECT_FALSE(wordIsTrue("假"));
  EXPECT_FALSE(wordIsTrue("真 "));
  EXPECT_FALSE(wordIsTrue("1"));
}

TEST(Conventions, ReplaceAllGoesLeftToRightOnce) {
  struct Case { const char* text; const char* from; const char* to; const char* result; };
  for (const Case& c : {Case{"Qovra·软件盒子", "Qovra", "星火", "星火·软件盒子"}, Case{"aaa", "a", "aa", "aaaaaa"},
                        Case{"abab", "ab", "", ""}, Case{"xaby", "ab", "a", "xay"}, Case{"text", "", "x", "text"},
                        Case{"", "a", "b", ""}, Case{"a\r\nb", "\r\n", "┊*┊", "a┊*┊b"}}) {
    EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.result) << c.text << " / " << c.from;
  }
}

}  // namespace
}  // namespace qovra
