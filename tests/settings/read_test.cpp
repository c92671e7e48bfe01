// Reading: entries found only inside their own section, texts converted from the file's
// GBK, the typed accessors and the section list.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"
#include "support/conventions.h"

namespace qovra::settings {
namespace {

using namespace std::string_literals;

SettingsStore storeWithBytes(const std::string& bytes) {
  // setText takes UTF-8; bytes that are not go through a file, as they would in the box.
  SettingsStore store;
  const std::string path = testing_support::scratchFolder() + "\\read.ini";
  platform::writeFile(path, bytes);
  store.open(path, true);
  return store;
}

struct ReadCase {
  const char* name;
  std::string bytes;
  std::string section, key;
  bool emptyMeansDefault;
  std::string expected;  // "<default>" is the default given
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }


const std::vector<ReadCase> kReads = {
    {"EmptyStore", "", "s", "k", false, "<default>"},
    {"EntryRightAfterTheHeader", "[s]\r\nk=1", "s", "k", false, "1"},
    {"SectionAtTheStartOfTheText", "[s]\r\nk=1\r\n[t]\r\nk=2", "s", "k", false, "1"},
    {"LaterSection", "[s]\r\nk=1\r\n[t]\r\nk=2", "t", "k", false, "2"},
    {"KeyOnlyInALaterSection", "[s]\r\nj=1\r\n[t]\r\nk=2", "s", "k", false, "<default>"},
    {"KeyOnlyInAnEarlierSection", "[s]\r\nk=1\r\n[t]\r\nj=2", "t", "k", false, "<default>"},
    {"TextBeforeTheBracket", "x[s]\r\nk=1", "s", "k", false, "<default>"},
    {"EmptyValue", "[s]\r\nk=\r\nj=1", "s", "k", false, ""},
    {"EmptyValueMeaningDefault", "[s]\r\nk=\r\nj=1", "s", "k", true, "<default>"},
    {"ValueRunsToTheEnd", "[s]\r\nk=a b=c ", "s", "k", false, "a b=c "},
    {"ValueEndsAtTheFirstZeroByte", "[s]\r\nk=ab\0cd"s, "s", "k", false, "ab"},
    {"ValueStartingWithAZeroByteIsEmpty", "[s]\r\nk=\0cd"s, "s", "k", true, "<default>"},
    {"KeyCaseMatters", "[s]\r\nK=1", "s", "k", false, "<default>"},
    {"SectionCaseMatters", "[S]\r\nk=1", "s", "k", false, "<default>"},
    {"NothingIsTrimmed", "[s]\r\n k = 1", "s", "k", false, "<default>"},
    {"NothingIsTrimmedFromTheValue", "[s]\r\nk= 1 ", "s", "k", false, " 1 "},
    {"BlankLinesInsideTheSection", "[s]\r\n\r\n\r\nk=1", "s", "k", false, "1"},
    {"HeaderWithoutClosingBracket", "[s\r\nk=1", "s", "k", false, "<default>"},
    {"SameSectionTwiceFirstWins", "[s]\r\nk=1\r\n[s]\r\nk=2", "s", "k", false, "1"},
    {"SameSectionTwiceSecondIsShadowed", "[s]\r\nk=1\r\n[s]\r\nj=2", "s", "j", false, "<default>"},
    {"LoneLineFeeds", "[s]\nk=1", "s", "k", false, "<default>"},
    {"LoneCarriageReturns", "[s]\rk=1", "s", "k", false, "<default>"},
    {"LineStartingWithABracketIsNoHeader", "[s]\r\n[x\r\nk=1", "s", "k", false, "1"},
    {"HeaderLineEndsTheSection", "[s]\r\n[x]\r\nk=1", "s", "k", false, "<default>"},
    {"HeaderWithTextAfterItsBracketStillStartsTheSection", "[s] old\r\nk=1", "s", "k", false, "1"},
    {"ChineseFromGbk", "[\xCA\xB9\xD3\xC3\xB0\xE6\xB1\xBE]\r\n\xC8\xED\xBC\xFE=\xD5\xE6", "使用版本", "软件",
     false, "真"},
    // "\xB0\x5D" is one character whose second byte is "]": the line does not end with a
    // closing bracket, so it is an entry line and not the end of section s.
    {"SecondByteLikeABracketEndsNoSection", "[s]\r\n[\xB0\x5D\r\nk=1", "s", "k", false, "1"},
};

class ReadEntryTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadEntryTest, GivesTheValueOrTheDefault) {
  const ReadCase& c = GetParam();
  SettingsStore store = storeWithBytes(c.bytes);
  ASSERT_EQ(store.buffer(), c.bytes);
  EXPECT_EQ(store.readEntry(c.section, c.key, "<default>", c.emptyMeansDefault), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadEntryTest, testing::ValuesIn(kReads),
                         [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

class TypedAccessorsTest : public testing::Test {
 protected:
  void SetUp() override {
    store_.open("", true);
    store_.selectSection("基本配置");
  }
  SettingsStore store_;
};

TEST_F(TypedAccessorsTest, TextLineBreaksAreStoredAsMarksAndComeBack) {
  ASSERT_TRUE(store_.writeText("说明", "第一行\r\n第二行\r\n"));
  // "┊" is A9 AE in GBK.
  EXPECT_NE(store_.buffer().find("\xA9\xAE*\xA9\xAE\xB5\xDA\xB6\xFE\xD0\xD0\xA9\xAE*\xA9\xAE"), std::string::npos);
  EXPECT_EQ(store_.buffer().find("\r\n\xB5\xDA\xB6\xFE"), std::string::npos);
  EXPECT_EQ(store_.readText("说明"), "第一行\r\n第二行\r\n");
}

TEST_F(TypedAccessorsTest, TextDefaultForMissingAndEmptyValues) {
  EXPECT_EQ(store_.readText("缺少", "默认\r\n值"), "默认\r\n值");
  ASSERT_TRUE(store_.writeText("空", ""));
  EXPECT_EQ(store_.readText("空", "默认"), "默认");
  EXPECT_NE(store_.buffer().find("\r\n\xBF\xD5="), std::string::npos);  // the key stays
}

TEST_F(TypedAccessorsTest, NumbersReadBackAndWholeNumbersStayWhole) {
  struct NumberCase {
    double value;
    const char* stored;  // nullptr: any text that reads back
  };
  const NumberCase cases[] = {
      {0, "0"},          {1, "1"},         {-1, "-1"},     {41, "41"},
      {2147483647.0, "2147483647"},        {1e20, "100000000000000000000"},
      {0.5, "0.5"},      {-2.25, "-2.25"}, {1.9, "1.9"},   {0.0000001, "0.0000001"},
      {123456.789, nullptr},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.value);
    ASSERT_TRUE(store_.writeNumber("次数", c.value));
    if (c.stored) {
      EXPECT_EQ(store_.readEntry("基本配置", "次数"), c.stored);
    }
    EXPECT_TRUE(realsEqual(store_.readNumber("次数", -5), c.value));
  }
}

TEST_F(TypedAccessorsTest, NumbersWithoutADecimalFormAreStoredAsZero) {
  for (double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
    ASSERT_TRUE(store_.writeNumber("n", value));
    EXPECT_EQ(store_.readEntry("基本配置", "n"), "0");
  }
}

TEST_F(TypedAccessorsTest, NumberDefaultsAndTextsThatAreNoNumbers) {
  EXPECT_EQ(store_.readNumber("缺少", 7.5), 7.5);
  store_.writeEntry("基本配置", "坏", "abc");
  EXPECT_EQ(store_.readNumber("坏", 3), 0);
  store_.writeEntry("基本配置", "尾", "12abc");
  EXPECT_EQ(store_.readNumber("尾", 3), 12);
}

TEST_F(TypedAccessorsTest, BooleansAreTheTwoWords) {
  ASSERT_TRUE(store_.writeBool("非首次使用", true));
  EXPECT_EQ(store_.buffer(), "[\xBB\xF9\xB1\xBE\xC5\xE4\xD6\xC3]\r\n\xB7\xC7\xCA\xD7\xB4\xCE\xCA\xB9\xD3\xC3=\xD5\xE6");
  EXPECT_TRUE(store_.readBool("非首次使用"));
  ASSERT_TRUE(store_.writeBool("非首次使用", false));
  EXPECT_EQ(store_.readEntry("基本配置", "非首次使用"), "假");
  EXPECT_FALSE(store_.readBool("非首次使用", true));
}

TEST_F(TypedAccessorsTest, OnlyTheTrueWordReadsTrue) {
  for (const char* word : {"假", "1", "true", "TRUE", "是", " 真", "真 ", ""}) {
    SCOPED_TRACE(word);
    store_.writeEntry("基本配置", "b", word);
    EXPECT_FALSE(store_.readBool("b", true));
  }
  store_.writeEntry("基本配置", "b", "真");
  EXPECT_TRUE(store_.readBool("b", false));
}

TEST_F(TypedAccessorsTest, BooleanDefaultWhenMissing) {
  EXPECT_TRUE(store_.readBool("缺少", true));
  EXPECT_FALSE(store_.readBool("缺少", false));
}

TEST_F(TypedAccessorsTest, AccessorsUseTheSelectedSection) {
  store_.selectSection("甲");
  store_.writeText("k", "1");
  store_.selectSection("乙");
  EXPECT_EQ(store_.readText("k", "none"), "none");
  store_.writeText("k", "2");
  store_.selectSection("甲");
  EXPECT_EQ(store_.readText("k"), "1");
}

TEST(ListSectionsTest, HeaderLinesInFileOrderWithTheFilters) {
  SettingsStore store;
  store.open("", true);
  store.setText(
      "[Qovra·甲]\r\nx=1\r\n[盒子]\r\n[Qovra·乙]\r\nv=[Qovra·戊]\r\n x[Qovra·丙]\r\n[Qovra·丁\r\n[a]b]\r\n[]\r\n"
      "[Qovra·己]");
  std::vector<std::string> names;
  EXPECT_EQ(store.listSections(names), 6);
  EXPECT_EQ(names, (std::vector<std::string>{"Qovra·甲", "盒子", "Qovra·乙", "a", "", "Qovra·己"}));
  EXPECT_EQ(store.listSections(names, "Qovra·"), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"Qovra·甲", "Qovra·乙", "Qovra·己"}));
  EXPECT_EQ(store.listSections(names, "Qovra·", "乙"), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"Qovra·甲", "Qovra·己"}));
  EXPECT_EQ(store.listSections(names, "", "Qovra"), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"盒子", "a", ""}));
}

TEST(ListSectionsTest, FiltersMatchCharactersNotHalvesOfThem) {
  // "甲甲" is BC D7 BC D7 in GBK; its middle bytes D7 BC are "准", which the line does not
  // hold. Only the second line, which is "准", contains it.
  SettingsStore store = storeWithBytes("[\xBC\xD7\xBC\xD7]\r\n[\xD7\xBC]");
  std::vector<std::string> names;
  EXPECT_EQ(store.listSections(names, "准"), 1);
  EXPECT_EQ(names, std::vector<std::string>{"准"});
  EXPECT_EQ(store.listSections(names, "", "准"), 1);
  EXPECT_EQ(names, std::vector<std::string>{"甲甲"});
}

TEST(ListSectionsTest, EmptyAndDamagedTexts) {
  std::vector<std::string> names{"stale"};
  SettingsStore store;
  store.open("", true);
  EXPECT_EQ(store.listSections(names), 0);
  EXPECT_TRUE(names.empty());
  store.setText("[s]\n[t]\r[u");
  EXPECT_EQ(store.listSections(names), 0);
}

}  // namespace
}  // namespace qovra::settings
