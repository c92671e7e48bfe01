#include "platform/charset.h"

#include <gtest/gtest.h>

#include <string>

namespace qovra::platform {
namespace {

struct RoundTrip {
  const char* name;
  Charset charset;
  std::string utf8;
  std::string bytes;
};

const RoundTrip kRoundTrips[] = {
    {"gbk_ascii", Charset::Gbk, "box 1.0\r\n", "box 1.0\r\n"},
    {"gbk_chinese", Charset::Gbk, "中文", "\xD6\xD0\xCE\xC4"},
    {"big5_chinese", Charset::Big5, "中文", "\xA4\xA4\xA4\xE5"},
    {"big5hkscs_common", Charset::Big5Hkscs, "中文", "\xA4\xA4\xA4\xE5"},
    {"utf16le_bmp", Charset::Utf16LE, "A中", std::string("A\0\x2D\x4E", 4)},
    {"utf16be_bmp", Charset::Utf16BE, "A中", std::string("\0A\x4E\x2D", 4)},
    {"utf16le_surrogates", Charset::Utf16LE, "😀", std::string("\x3D\xD8\x00\xDE", 4)},
    {"utf16be_surrogates", Charset::Utf16BE, "😀", std::string("\xD8\x3D\xDE\x00", 4)},
    {"utf8_identity", Charset::Utf8, "离线模式", "离线模式"},
    {"empty", Charset::Gbk, "", ""},
};

class CharsetRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(CharsetRoundTrip, EncodesAndDecodesTheKnownBytes) {
  const RoundTrip& c = GetParam();
  EXPECT_EQ(fromUtf8(c.utf8, c.charset), c.bytes);
  EXPECT_EQ(toUtf8(c.bytes, c.charset), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Table, CharsetRoundTrip, testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// GB18030 proper (Windows has it as code page 54936; Wine 8 has only 936).
TEST(Charset, GbkIsReadAndWrittenAsGb18030) {
  EXPECT_EQ(fromUtf8("€", Charset::Gbk), "\xA2\xE3");
  EXPECT_EQ(fromUtf8("😀", Charset::Gbk), "\x94\x39\xFC\x36");
  EXPECT_EQ(toUtf8("\x94\x39\xFC\x36", Charset::Gbk), "😀");
}

// Characters only Big5-HKSCS has; Windows falls back to plain Big5 without code page 951.
TEST(Charset, Big5HkscsHasItsOwnCharacters) {
  EXPECT_EQ(fromUtf8("嗰", Charset::Big5Hkscs), "\x9D\xF5");
  EXPECT_EQ(toUtf8("\x9D\xF5", Charset::Big5Hkscs), "嗰");
}
#endif

const std::string kReplacement = "\xEF\xBF\xBD";

bool isReplacement(const std::string& text) { return text == kReplacement || text == "?"; }

struct Invalid {
  const char* name;
  Charset charset;
  std::string bytes;
  std::string before;  // what must survive in front of the bad bytes
  std::string after;   // and behind them
};

const Invalid kInvalid[] = {
    {"gbk_bad_lead_byte", Charset::Gbk, "A\xFF" "B", "A", "B"},
    {"gbk_truncated_at_end", Charset::Gbk, "\xD6\xD0\xD6", "中", ""},
    {"big5_bad_lead_byte", Charset::Big5, "\xA4\xA4\xFF" "X", "中", "X"},
    {"utf8_stray_continuation", Charset::Utf8, "a\x80z", "a", "z"},
    {"utf8_overlong_slash", Charset::Utf8, "a\xC0\xAFz", "a", "z"},
    {"utf8_surrogate", Charset::Utf8, "a\xED\xA0\x80z", "a", "z"},
    {"utf16le_odd_length", Charset::Utf16LE, std::string("A\0B", 3), "A", ""},
    {"utf16le_unpaired_high", Charset::Utf16LE, std::string("\x3D\xD8" "A\0", 4), "", "A"},
    {"utf16be_unpaired_low", Charset::Utf16BE, std::string("\0A\xDE\x00", 4), "A", ""},
};

class CharsetInvalid : public testing::TestWithParam<Invalid> {};

TEST_P(CharsetInvalid, KeepsTheTextAroundAReplacement) {
  const Invalid& c = GetParam();
  std::string text = toUtf8(c.bytes, c.charset);
  ASSERT_GE(text.size(), c.before.size() + c.after.size() + 1) << text;
  EXPECT_EQ(text.substr(0, c.before.size()), c.before);
  EXPECT_EQ(text.substr(text.size() - c.after.size()), c.after);
  std::string middle = text.substr(c.before.size(), text.size() - c.before.size() - c.after.size());
  EXPECT_NE(middle.find_first_of("?\xEF"), std::string::npos) << middle;
  // Whatever came out is well-formed: converting it again changes nothing.
  EXPECT_EQ(toUtf8(text, Charset::Utf8), text);
}

INSTANTIATE_TEST_SUITE_P(Table, CharsetInvalid, testing::ValuesIn(kInvalid),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Charset, PortableInvalidBytesBecomeOneReplacementEach) {
  EXPECT_EQ(toUtf8("a\xC0\xAFz", Charset::Utf8), "a" + kReplacement + kReplacement + "z");
  EXPECT_EQ(toUtf8("\xE4\xB8", Charset::Utf8), kReplacement + kReplacement);
}

TEST(Charset, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(fromUtf8("a한b", Charset::Big5), "a?b");
  EXPECT_EQ(fromUtf8("中€文", Charset::Big5).substr(0, 2), "\xA4\xA4");
}

TEST(Charset, MalformedUtf8IsRepairedBeforeEncoding) {
  std::string bytes = fromUtf8("中\xFF文", Charset::Gbk);
  EXPECT_EQ(bytes.substr(0, 2), "\xD6\xD0");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xCE\xC4");
  EXPECT_GT(bytes.size(), 4u);
  EXPECT_TRUE(isReplacement(toUtf8(bytes.substr(2, bytes.size() - 4), Charset::Gbk)));
}

TEST(Charset, LongGbkTextSurvivesWhole) {
  std::string utf8;
  for (int i = 0; i < 5000; ++i) utf8 += "软件盒子";
  std::string bytes = fromUtf8(utf8, Charset::Gbk);
  EXPECT_EQ(bytes.size(), 5000u * 8);
  EXPECT_EQ(toUtf8(bytes, Charset::Gbk), utf8);
}

}  // namespace
}  // namespace qovra::platform
