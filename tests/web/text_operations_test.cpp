#include "web/text_operations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qovra::web {
namespace {

struct BetweenCase {
  const char* name;
  std::string text;
  std::string left;
  std::string right;
  bool fromRight;
  std::string found;
};

const BetweenCase kBetweenCases[] = {
    {"quoted_key", R"({"fs_id":12345,"path":"/x"})", "''fs_id'':", ",", false, "12345"},
    {"key_without_quotes", "{fs_id:12345,path:/x}", "''fs_id'':", ",", false, "12345"},
    // The markers as given are tried first, over the whole text, before the quoteless ones.
    {"markers_as_given_first", R"({fs_id:1,"fs_id":2,})", "''fs_id'':", ",", false, "2"},
    {"quoted_string_value", R"({"nid": "77", "x": "y"})", "''nid'': ''", "''", false, "77"},
    // Without quotes the right marker is empty on the second pass: nothing between.
    {"quoted_markers_unquoted_reply", "{nid: 77, x: y}", "''nid'': ''", "''", false, ""},
    {"ignores_case", "HTTP/1.1 200 OK\r\ncontent-length: 123\r\n\r\n", "Content-Length: ", "\r\n",
     false, "123"},
    {"after_last_slash", "http://yunpan.example/s/AbC9", "/", "", true, "AbC9"},
    {"before_first_slash", "ab/cd/ef", "", "/", true, "ab"},
    {"forward_from_start_to_marker", "ab/cd/ef", "", "/", false, "ab"},
    {"forward_marker_to_end", "ab/cd/ef", "/", "", false, "cd/ef"},
    {"both_markers_empty", "whole", "", "", false, "whole"},
    {"nearest_left_when_backward", "<a><a>x</a>", "<a>", "</a>", true, "x"},
    {"first_left_when_forward", "<a><a>x</a>", "<a>", "</a>", false, "<a>x"},
    {"backward_key_without_quotes", "{id:5,x:1}", "''id'':", ",", true, "5"},
    {"chinese_markers", "名称：下载器；版本", "名称：", "；", false, "下载器"},
    {"missing_left", "abc", "x", "c", false, ""},
    {"missing_right", "abc", "a", "x", false, ""},
    {"empty_text", "", "a", "b", false, ""},
};

class TextBetween : public testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetween, FindsTheTextBetweenTheMarkers) {
  const BetweenCase& c = GetParam();
  EXPECT_EQ(textBetween(c.text, c.left, c.right, c.fromRight), c.found);
}

INSTANTIATE_TEST_SUITE_P(Table, TextBetween, testing::ValuesIn(kBetweenCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<std::string> walk(std::string_view text, std::string_view left, std::string_view right,
                              bool fromRight, std::vector<int>& positions) {
  std::vector<std::string> found;
  int position = 0;
  int leftFound = 0;
  for (int i = 0; i < 5; ++i) {
    found.push_back(textBetween(text, left, right, position, fromRight, leftFound));
    positions.push_back(position);
  }
  return found;
}

TEST(TextBetweenWalk, ForwardCallsContinueAfterEachMatchThenStop) {
  std::vector<int> positions;
  std::vector<std::string> found = walk("<i>1</i><i>22</i>", "<i>", "</i>", false, positions);
  EXPECT_EQ(found, (std::vector<std::string>{"1", "22", "", "", ""}));
  EXPECT_EQ(positions, (std::vector<int>{9, 18, kNothingMoreFound, kNothingMoreFound,
                                         kNothingMoreFound}));
}

TEST(TextBetweenWalk, BackwardCallsNeverYieldTheSameStretchTwice) {
  std::vector<int> positions;
  std::vector<std::string> found = walk("a/1;b/2;c;", "/", ";", true, positions);
  // The third ";" has no "/" after the second one before it.
  EXPECT_EQ(found, (std::vector<std::string>{"1", "2", "", "", ""}));
  EXPECT_EQ(positions.back(), kNothingMoreFound);
}

TEST(TextBetweenWalk, PositionsCountBytesOfTheText) {
  int position = 1;
  int leftFound = 0;
  EXPECT_EQ(textBetween("下载:a;b:c;", ":", ";", position, false, leftFound), "a");
  EXPECT_EQ(position, 10);  // 下载 is six bytes; the match ends at byte 9
  EXPECT_EQ(textBetween("下载:a;b:c;", ":", ";", position, false, leftFound), "c");
}

TEST(TextBetweenWalk, PositionPastTheEndFindsNothing) {
  int position = 100;
  int leftFound = 0;
  EXPECT_EQ(textBetween("a:b;", ":", ";", position, false, leftFound), "");
  EXPECT_EQ(position, kNothingMoreFound);
}

struct UnescapeCase {
  const char* name;
  std::string escaped;
  std::string text;
};

const UnescapeCase kUnescapeCases[] = {
    {"two_chinese", R"(\u4e0b\u8f7d)", "下载"},
    {"upper_case_hex", R"(\u4E0B)", "下"},
    {"ascii", R"(\u0041b)", "Ab"},
    {"text_around", R"(a\u4e0bb)", "a下b"},
    {"surrogate_pair", R"(\ud83d\ude00!)", "😀!"},
    {"lone_high_surrogate_dropped", R"(a\ud83db)", "ab"},
    {"lone_low_surrogate_dropped", R"(\ude00x)", "x"},
    {"high_then_other_escape", R"(\ud83d\u4e0b)", "下"},
    {"zero_unit_stays", R"(\u0000)", R"(\u0000)"},
    {"non_hex_stays", R"(\uzzzz)", R"(\uzzzz)"},
    {"short_escape_at_end_stays", R"(ab\u4e0)", R"(ab\u4e0)"},
    {"quote", R"(say \"hi\")", "say \"hi\""},
    {"slash", R"(http:\/\/h\/p)", "http://h/p"},
    {"line_break_and_tab", R"(a\nb\tc)", "a\r\nb\tc"},
    {"other_escapes_stay", R"(a\\b\r)", R"(a\\b\r)"},
    {"escaped_backslash_then_u", R"(\\u4e0b)", "\\下"},
    {"empty", "", ""},
};

class JsonUnescape : public testing::TestWithParam<UnescapeCase> {};

TEST_P(JsonUnescape, TurnsEscapesIntoText) {
  EXPECT_EQ(jsonUnescape(GetParam().escaped), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, JsonUnescape, testing::ValuesIn(kUnescapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UrlEncode, KeepsLettersDigitsDotUnderscoreDashAndEncodesTheRest) {
  EXPECT_EQ(urlEncode("/ ab下"), "%2F%20ab%E4%B8%8B");
  EXPECT_EQ(urlEncode("/Qovra软件/A-b_c.d~"), "%2FQovra%E8%BD%AF%E4%BB%B6%2FA-b_c.d%7E");
  EXPECT_EQ(urlEncode("&=?%2E"), "%26%3D%3F%252E");
  EXPECT_EQ(urlEncode(std::string("\0\xFF", 2)), "%00%FF");
  EXPECT_EQ(urlEncode(""), "");
}

struct AddressCase {
  const char* name;
  std::string address;
  std::string host;
  std::string hostWithPort;
  std::string path;
  int port;
};

const AddressCase kAddressCases[] = {
    {"capitals_and_port", "HTTP://WWW.Example.COM:8080/Dir/File.rar?Q=1", "www.example.com",
     "www.example.com:8080", "/Dir/File.rar?Q=1", 8080},
    {"https_capitals", "HTTPS://Secure.Example/x", "secure.example", "secure.example", "/x", 443},
    {"https_with_port", "https://secure.example:8443/", "secure.example", "secure.example:8443", "/",
     8443},
    {"no_scheme", "www.example.com/a/b", "www.example.com", "www.example.com", "/a/b", 80},
    {"no_path", "http://example.com", "example.com", "example.com", "/", 80},
    {"bare_host", "example.com", "example.com", "example.com", "/", 80},
    {"ipv4_and_port", "http://127.0.0.1:8000/box.txt", "127.0.0.1", "127.0.0.1:8000", "/box.txt", 8000},
    {"user_information", "http://user:pw@Host.Example:81/p", "host.example", "host.example:81", "/p", 81},
    {"query_right_after_host", "http://host.example?x=1", "host.example", "host.example", "/?x=1", 80},
    {"fragment_left_out", "http://host.example/p?q#frag", "host.example", "host.example", "/p?q", 80},
    {"fragment_right_after_host", "http://host.example#frag", "host.example", "host.example", "/", 80},
    {"address_inside_query", "h.example/go?u=http://other.example/x", "h.example", "h.example",
     "/go?u=http://other.example/x", 80},
    {"host_letters_inside_scheme", "https://t/x", "t", "t", "/x", 443},
    {"blanks_around", "  http://h.example/p \r\n", "h.example", "h.example", "/p", 80},
    {"bad_port", "https://h.example:abc/", "h.example", "h.example:abc", "/", 443},
    {"port_out_of_range", "http://h.example:99999/", "h.example", "h.example:99999", "/", 80},
    {"port_zero", "http://h.example:0/", "h.example", "h.example:0", "/", 80},
    {"empty", "", "", "", "/", 80},
};

class Address : public testing::TestWithParam<AddressCase> {};

TEST_P(Address, GivesHostPathAndPort) {
  const AddressCase& c = GetParam();
  EXPECT_EQ(hostOf(c.address), c.host);
  EXPECT_EQ(hostOf(c.address, true), c.hostWithPort);
  EXPECT_EQ(pathOf(c.address), c.path);
  EXPECT_EQ(portOf(c.address), c.port);
}

INSTANTIATE_TEST_SUITE_P(Table, Address, testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostPart, KeepsCaseAndPort) {
  const std::pair<std::string, std::string> cases[] = {
      {"http://Www.Example.com:8080/path", "Www.Example.com:8080"},
      {"HTTPS://Pan.Example/s/x", "Pan.Example"},
      {"Www.Example.com/x", "Www.Example.com"},
      {"//Host/x", "Host"},
      {"http://Host", "Host"},
      {"http://u@Host?x=/", "Host"},
      {"", ""},
  };
  for (const auto& [text, host] : cases) EXPECT_EQ(hostPart(text), host) << text;
}

TEST(QuotesFromPairs, TurnsEachDoubledSingleQuoteIntoADoubleQuote) {
  EXPECT_EQ(quotesFromPairs("''nid'': ''"), "\"nid\": \"");
  EXPECT_EQ(quotesFromPairs("'''"), "\"'");
  EXPECT_EQ(quotesFromPairs("''''"), "\"\"");
  EXPECT_EQ(quotesFromPairs("it's"), "it's");
}

TEST(CaseFolding, FoldsAsciiLettersOnly) {
  EXPECT_EQ(toLowerAscii("AbC-下载-Z"), "abc-下载-z");
  EXPECT_EQ(findIgnoringCase("xxCharSet=", "charset"), 2u);
  EXPECT_EQ(findIgnoringCase("abcabc", "ABC", 1), 3u);
  EXPECT_EQ(findIgnoringCase("abc", "abcd"), std::string_view::npos);
  EXPECT_EQ(findIgnoringCase("abc", "a", 4), std::string_view::npos);
}

}  // namespace
}  // namespace qovra::web
