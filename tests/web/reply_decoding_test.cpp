#include "web/reply_decoding.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "platform/files.h"
#include "platform/scratch_folder.h"
#include "support/process_state.h"

namespace qovra::web {
namespace {

using namespace std::string_literals;

// Gzip bytes of data, made here so that the tests do not depend on the code they test.
std::string gzipped(std::string_view data) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// The program's folder pointed at a scratch folder for one test, with or without a
// "gzip.dll" in it.
class ProgramFolder {
 public:
  explicit ProgramFolder(bool withGzipLibrary)
      : saved_(processState().runDirectory), folder_(platform::scratchFolder()) {
    if (withGzipLibrary) platform::writeFile(folder_ + "\\gzip.dll", "MZ");
    processState().runDirectory = folder_;
  }
  ~ProgramFolder() {
    processState().runDirectory = saved_;
    platform::deleteTree(folder_);
  }
  const std::string& path() const { return folder_; }

 private:
  std::string saved_;
  std::string folder_;
};

struct DecodeCase {
  const char* name;
  std::string bytes;
  ReplyEncoding encoding;
  std::string text;  // UTF-8
  ReplyEncoding used;
};

const std::string kGbkDownload = "\xCF\xC2\xD4\xD8";  // 下载 in GBK
const std::string kBig5Test = "\xB4\xFA\xB8\xD5";     // 測試 in Big5

const DecodeCase kDecodeCases[] = {
    {"utf8_mark", "\xEF\xBB\xBF" "AB", kEncodingDetect, "AB", kEncodingUtf8},
    {"utf16le_mark", "\xFF\xFE" "A\0B\0"s, kEncodingDetect, "AB", kEncodingUtf16LE},
    {"utf16be_mark", "\xFE\xFF\0A\0B"s, kEncodingDetect, "AB", kEncodingUtf16BE},
    {"utf16le_chinese", "\xFF\xFE\x0B\x4E\x7D\x8F", kEncodingDetect, "下载", kEncodingUtf16LE},
    {"plain_ascii", "box=1\r\n", kEncodingDetect, "box=1\r\n", kEncodingAnsi},
    {"gbk_bytes", "[" + kGbkDownload + "]", kEncodingDetect, "[下载]", kEncodingAnsi},
    {"utf8_without_mark", "[下载]", kEncodingDetect, "[下载]", kEncodingUtf8},
    // The tag wins over the bytes: GBK bytes under a Big5 tag are read as Big5.
    {"big5_tag_over_gbk_bytes", "<head><meta charset=big5></head>" + kGbkDownload, kEncodingDetect,
     "<head><meta charset=big5></head>狟婥", kEncodingBig5},
    {"big5_tag", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">" + kBig5Test,
     kEncodingDetect, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">測試",
     kEncodingBig5},
    {"utf8_tag_over_gbk_bytes", "<meta charset=\"utf-8\">" + kGbkDownload, kEncodingDetect,
     "<meta charset=\"utf-8\">\uFFFD\uFFFD\uFFFD\uFFFD", kEncodingUtf8},
    {"mark_before_tag", "\xFF\xFE<\0m\0"s, kEncodingDetect, "<m", kEncodingUtf16LE},
    {"ansi_keeps_utf8_mark", "\xEF\xBB\xBF" "AB", kEncodingAnsi, "锘緼B", kEncodingAnsi},
    {"ansi_keeps_utf8_bytes", "下载", kEncodingAnsi, "涓嬭浇", kEncodingAnsi},
    {"utf8_skips_its_mark", "\xEF\xBB\xBF" "下载", kEncodingUtf8, "下载", kEncodingUtf8},
    {"utf8_without_its_mark", "下载", kEncodingUtf8, "下载", kEncodingUtf8},
    {"utf16le_given", "\xFF\xFE" "A\0B\0"s, kEncodingUtf16LE, "AB", kEncodingUtf16LE},
    {"utf16le_given_without_mark", "A\0B\0"s, kEncodingUtf16LE, "AB", kEncodingUtf16LE},
    {"utf16be_given", "\xFE\xFF\0A\0B"s, kEncodingUtf16BE, "AB", kEncodingUtf16BE},
    {"utf16be_given_without_mark", "\0A\0B"s, kEncodingUtf16BE, "AB", kEncodingUtf16BE},
    {"big5_given", kBig5Test, kEncodingBig5, "測試", kEncodingBig5},
    {"hkscs_given", kBig5Test, kEncodingBig5Hkscs, "測試", kEncodingBig5Hkscs},
    {"invalid_utf8_detected_as_ansi", "A\xC3\x41", kEncodingDetect, "A肁", kEncodingAnsi},
    {"invalid_utf8_given", "A\xC3(", kEncodingUtf8, "A\uFFFD(", kEncodingUtf8},
    {"truncated_multibyte", "AB\xE4\xB8", kEncodingDetect, "AB涓", kEncodingAnsi},
    {"four_byte_sequence_not_utf8", "\xF0\x9F\x98\x80", kEncodingDetect, "馃榾", kEncodingAnsi},
    {"empty_detect", "", kEncodingDetect, "", kEncodingAnsi},
    {"empty_utf8", "", kEncodingUtf8, "", kEncodingAnsi},
    {"empty_utf16", "", kEncodingUtf16LE, "", kEncodingAnsi},
    {"text_ends_at_zero", "AB\0CD"s, kEncodingAnsi, "AB", kEncodingAnsi},
    {"utf16_text_ends_at_zero", "\xFF\xFE" "A\0\0\0B\0"s, kEncodingDetect, "A", kEncodingUtf16LE},
    {"unknown_code_is_ansi", kGbkDownload, 9, "下载", kEncodingAnsi},
    {"body_as_is_code_is_ansi_here", kGbkDownload, kEncodingBodyAsIs, "下载", kEncodingAnsi},
};

class DecodeReply : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeReply, GivesTheTextAndTheEncodingUsed) {
  const DecodeCase& c = GetParam();
  DecodedReply reply = decodeReplyText(c.bytes, c.encoding);
  EXPECT_EQ(reply.text, c.text);
  EXPECT_EQ(reply.encoding, c.used);
}

INSTANTIATE_TEST_SUITE_P(Table, DecodeReply, testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeReply, NothingAfterTheMarkGivesTheWholeBodyAsAnsi) {
  DecodedReply reply = decodeReplyText("\xEF\xBB\xBF", kEncodingUtf8);
  EXPECT_EQ(reply.encoding, kEncodingAnsi);
  EXPECT_EQ(reply.text.substr(0, 3), "锘");  // EF BB read as GBK: the mark is kept
}

TEST(DecodeReplyGzip, InflatesOnlyWhenGzipLibraryIsInTheProgramFolder) {
  const std::string page = "<meta charset=\"utf-8\">下载 " + std::string(20000, 'x');
  const std::string body = gzipped(page);
  {
    ProgramFolder folder(true);
    EXPECT_TRUE(gzipLibraryPresent());
    DecodedReply reply = decodeReplyText(body, kEncodingDetect);
    EXPECT_EQ(reply.text, page);
    EXPECT_EQ(reply.encoding, kEncodingUtf8);
  }
  {
    ProgramFolder folder(false);
    EXPECT_FALSE(gzipLibraryPresent());
    DecodedReply reply = decodeReplyText(body, kEncodingDetect);
    EXPECT_EQ(reply.encoding, kEncodingAnsi);
    EXPECT_EQ(reply.text, platform::toUtf8(body.substr(0, body.find('\0')), platform::Charset::Gbk));
  }
}

TEST(DecodeReplyGzip, FolderNamedGzipLibraryDoesNotCount) {
  ProgramFolder folder(false);
  platform::createFolder(folder.path() + "\\gzip.dll");
  EXPECT_FALSE(gzipLibraryPresent());
}

TEST(DecodeReplyGzip, DamagedGzipBodyGivesWhatInflatedBeforeTheDamage) {
  ProgramFolder folder(true);
  const std::string page(50000, 'a');
  std::string body = gzipped(page);
  // Cut into the deflate data: what was inflated before the cut comes back, and the
  // loop ends although the inflater can make no more progress.
  DecodedReply truncated = decodeReplyText(body.substr(0, body.size() / 2), kEncodingDetect);
  EXPECT_LT(truncated.text.size(), page.size());
  EXPECT_EQ(truncated.text, page.substr(0, truncated.text.size()));
  // Magic bytes followed by garbage inflate to nothing.
  DecodedReply garbage = decodeReplyText("\x1F\x8B garbage", kEncodingDetect);
  EXPECT_EQ(garbage.text, "");
  EXPECT_EQ(garbage.encoding, kEncodingAnsi);
}

TEST(InflateGzip, RestoresLargeBodiesAcrossManyChunks) {
  std::string data;
  for (int i = 0; data.size() < 300000; ++i) data += std::to_string(i * 7919 % 104729) + ",";
  EXPECT_EQ(inflateGzip(gzipped(data)), data);
  EXPECT_EQ(inflateGzip(gzipped("")), "");
  EXPECT_EQ(inflateGzip(""), "");
}

TEST(InflateGzip, RefusesABodyThatInflatesPast64MiB) {
  // 65 MiB of zeros in a few hundred kilobytes of gzip.
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  const std::string zeros(1 << 20, '\0');
  std::string bomb;
  std::string buffer(1 << 16, '\0');
  for (int mib = 0; mib < 65; ++mib) {
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    stream.avail_in = static_cast<uInt>(zeros.size());
    int flush = mib == 64 ? Z_FINISH : Z_NO_FLUSH;
    do {
      stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
      stream.avail_out = static_cast<uInt>(buffer.size());
      deflate(&stream, flush);
      bomb.append(buffer.data(), buffer.size() - stream.avail_out);
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  ASSERT_LT(bomb.size(), std::size_t{1} << 20);
  EXPECT_EQ(inflateGzip(bomb), "");
}

struct Utf8Case {
  const char* name;
  std::string bytes;
  bool utf8;
};

const Utf8Case kUtf8Cases[] = {
    {"empty", "", false},
    {"pure_ascii", "plain text\r\n", false},
    {"two_byte", "caf\xC3\xA9", true},
    {"three_byte", "下载", true},
    {"gbk", kGbkDownload, false},
    {"four_byte", "\xF0\x9F\x98\x80", false},
    {"lone_continuation", "a\x80", false},
    {"truncated_two_byte", "a\xC3", false},
    {"truncated_three_byte", "a\xE4\xB8", false},
    {"bad_second_byte", "\xE4\x41\x8B", false},
    // The test looks at the bit patterns only: an overlong form passes it.
    {"overlong_two_byte", "\xC0\x80", true},
    {"mark_alone", "\xEF\xBB\xBF", true},
};

class LooksLikeUtf8 : public testing::TestWithParam<Utf8Case> {};

TEST_P(LooksLikeUtf8, JudgesTheBytes) {
  EXPECT_EQ(looksLikeUtf8(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Table, LooksLikeUtf8, testing::ValuesIn(kUtf8Cases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ContainsCase {
  const char* name;
  std::string text;
  std::string list;
  std::string delimiter;
  bool contains;
};

const ContainsCase kContainsCases[] = {
    {"plain", "Content-Type: text/html; charset=utf-8", "charset=utf-8|charset=''utf-8''", "|", true},
    {"ignores_case", "CHARSET=UTF-8", "charset=utf-8", "|", true},
    {"doubled_quote_is_double_quote", "charset=\"utf-8\"", "charset=''utf-8''", "|", true},
    {"single_quote_stays", "charset='utf-8'", "charset=''utf-8''|charset='utf-8'", "|", true},
    {"doubled_quote_not_literal", "charset=''utf-8''", "charset=''utf-8''", "|", false},
    {"none_match", "charset=gbk", "charset=utf-8|charset=big5", "|", false},
    {"empty_items_ignored", "anything", "||", "|", false},
    {"empty_list", "anything", "", "|", false},
    {"other_delimiter", "charset=Big5", "x[fg]charset=big5", "[fg]", true},
    {"delimiter_not_split_on_bar", "a|b", "a|b[fg]zz", "[fg]", true},
    {"later_item", "xyz", "a|b|y", "|", true},
};

class ContainsAnyOf : public testing::TestWithParam<ContainsCase> {};

TEST_P(ContainsAnyOf, MatchesAnyItem) {
  const ContainsCase& c = GetParam();
  EXPECT_EQ(containsAnyOf(c.text, c.list, c.delimiter), c.contains);
}

INSTANTIATE_TEST_SUITE_P(Table, ContainsAnyOf, testing::ValuesIn(kContainsCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct MetaCase {
  const char* name;
  std::string page;
  MetaCharset charset;
};

const MetaCase kMetaCases[] = {
    {"none", "<html><body>charset=utf-8</body></html>", MetaCharset::None},
    {"html5_utf8", "<head><meta charset=\"UTF-8\"></head>", MetaCharset::Utf8},
    {"single_quotes", "<HEAD><META CHARSET='utf-8'></HEAD>", MetaCharset::Utf8},
    {"http_equiv", "<meta http-equiv=Content-Type content=\"text/html; charset=UTF-8\">", MetaCharset::Utf8},
    {"big5", "<head><meta charset=\"big5\"></head>", MetaCharset::Big5},
    {"hkscs", "<head><meta charset=\"Big5-HKSCS\"></head>", MetaCharset::Big5Hkscs},
    {"first_matching_tag_decides",
     "<head><meta name=a><meta charset=big5><meta charset=utf-8></head>", MetaCharset::Big5},
    {"only_head_counts_when_it_has_content",
     "<head><title>t</title></head><body><meta charset=utf-8></body>", MetaCharset::None},
    {"empty_head_means_whole_page", "<head></head><meta charset=utf-8>", MetaCharset::Utf8},
    {"no_closing_head_means_whole_page", "<head><title>x</title><meta charset=utf-8>", MetaCharset::Utf8},
    {"unclosed_tag", "<head><meta charset=utf-8", MetaCharset::None},
    {"spaced_value_not_recognised", "<meta charset = utf-8>", MetaCharset::None},
    {"gbk", "<meta charset=gbk>", MetaCharset::None},
    {"empty", "", MetaCharset::None},
};

class DetectMetaCharset : public testing::TestWithParam<MetaCase> {};

TEST_P(DetectMetaCharset, FindsTheTagsCharset) {
  EXPECT_EQ(detectMetaCharset(GetParam().page), GetParam().charset);
}

INSTANTIATE_TEST_SUITE_P(Table, DetectMetaCharset, testing::ValuesIn(kMetaCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertCharset, ReencodesBetweenCharsets) {
  EXPECT_EQ(convertCharset(kBig5Test, platform::Charset::Big5, platform::Charset::Utf8), "測試");
  EXPECT_EQ(convertCharset("下载", platform::Charset::Utf8, platform::Charset::Gbk), kGbkDownload);
  EXPECT_EQ(convertCharset("\0A\0B"s, platform::Charset::Utf16BE, platform::Charset::Utf16LE),
            "A\0B\0"s);
  // A character GBK has but Big5 lacks becomes "?".
  EXPECT_EQ(convertCharset(kGbkDownload, platform::Charset::Gbk, platform::Charset::Big5), "\xA4U?");
}

}  // namespace
}  // namespace qovra::web
