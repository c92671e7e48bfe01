#include "web/json_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace qovra::web {
namespace {

// A listing as the cloud drive sends it, written compactly and pretty-printed with line
// breaks, tabs and ideographic spaces around the structure: both read the same.
const std::string kCompact =
    R"({"data":{"subfiles":[{"path":"/a.txt","size":1},{"path":"/b.txt","size":22}],)"
    R"("downloadlink":"http:\/\/dl.example\/f?id=1","count":2,"ok":true,"no":false,)"
    R"("none":null,"ratio":-1.50e3,"quote":"say \"hi\"","cn":"下载","padded":"  x y  ",)"
    R"("tricky":"{[,:]}","slash":"end\\","a\"b":7,"empty":{},"list":[1,"x"],"dup":1,"dup":2}})";

const std::string kPretty =
    "{\r\n  \"data\" : {\n\t\"subfiles\" : [ {\"path\" : \"/a.txt\" , \"size\" :1} ,\n"
    "    { \"path\":\"/b.txt\", \"size\":22 } ],\n"
    "  \"downloadlink\" : \"http:\\/\\/dl.example\\/f?id=1\",  \"count\" : 2,\n"
    "  \"ok\" : true, \"no\" : false, \"none\" : null, \"ratio\" : -1.50e3,\n"
    "  \"quote\" : \"say \\\"hi\\\"\", \"cn\"　:　\"下载\", \"padded\" : \"  x y  \",\n"
    "  \"tricky\" : \"{[,:]}\", \"slash\" : \"end\\\\\", \"a\\\"b\" : 7, \"empty\" : {},\n"
    "  \"list\" : [1,\"x\"], \"dup\" : 1, \"dup\" : 2 }\n}\n";

struct PathCase {
  const char* name;
  const char* path;
  bool zeroBased;
  std::string value;
};

const PathCase kPathCases[] = {
    {"nested_index_member", "data.subfiles.[1].path", false, "/a.txt"},
    {"zero_based_index", "data.subfiles.[1].path", true, "/b.txt"},
    {"index_without_dot", "data.subfiles[2].size", false, "22"},
    {"zero_based_first", "data.subfiles[0].path", true, "/a.txt"},
    {"number_as_written", "data.ratio", false, "-1.50e3"},
    {"integer", "data.count", false, "2"},
    {"true", "data.ok", false, "true"},
    {"false", "data.no", false, "false"},
    {"null", "data.none", false, "null"},
    {"escapes_as_written", "data.downloadlink", false, "http:\\/\\/dl.example\\/f?id=1"},
    {"escaped_quote_kept", "data.quote", false, "say \\\"hi\\\""},
    {"chinese", "data.cn", false, "下载"},
    {"string_ends_trimmed", "data.padded", false, "x y"},
    {"structure_inside_string", "data.tricky", false, "{[,:]}"},
    {"escaped_backslash_before_quote", "data.slash", false, "end\\\\"},
    {"doubled_quote_in_path", "data.a\\''b", false, "7"},
    {"first_of_duplicate_names", "data.dup", false, "1"},
    {"object_compacted", "data.subfiles.[1]", false, R"({"path":"/a.txt","size":1})"},
    {"array_compacted", "data.list", false, R"([1,"x"])"},
    {"empty_object", "data.empty", false, "{}"},
    {"missing_member", "data.missing", false, ""},
    {"names_compare_exactly", "Data.count", false, ""},
    {"index_past_end", "data.subfiles.[3]", false, ""},
    {"index_zero_when_one_based", "data.subfiles.[0]", false, ""},
    {"index_not_a_number", "data.subfiles.[x]", false, ""},
    {"index_unclosed", "data.subfiles.[1", false, ""},
    {"index_on_object", "data.[1]", false, ""},
    {"name_on_array", "data.subfiles.path", false, ""},
    {"into_a_number", "data.count.x", false, ""},
    {"into_a_string", "data.cn.[1]", false, ""},
};

class JsonPath : public testing::TestWithParam<PathCase> {};

TEST_P(JsonPath, CompactAndPrettyTextsGiveTheValue) {
  const PathCase& c = GetParam();
  JsonReader reader;
  EXPECT_EQ(reader.get(kCompact, c.path, c.zeroBased), c.value);
  EXPECT_EQ(reader.get(kPretty, c.path, c.zeroBased), c.value);
}

INSTANTIATE_TEST_SUITE_P(Table, JsonPath, testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JsonReader, EmptyPathGivesTheWholeTextWithoutWhiteSpaceAroundTheStructure) {
  JsonReader reader;
  // White space next to a number, or inside "{ }", is not before an opening or after a
  // closing bracket, brace or quote: it stays.
  EXPECT_EQ(reader.get(" { \"a\" : [ 1, \"x\" ] ,\n \"b\" : {} }\n", ""), R"({"a":[ 1,"x"],"b":{}})");
  // Inside strings nothing is touched.
  EXPECT_EQ(reader.get(R"({"a" : " [ x ] "})", ""), R"({"a":" [ x ] "})");
  EXPECT_EQ(reader.get("  42 ", ""), "42");
  EXPECT_EQ(reader.get(R"({"a": { }})", "a"), "{ }");
}

TEST(JsonReader, TopLevelArraysAndValues) {
  JsonReader reader;
  EXPECT_EQ(reader.get("[10, [20, 30]]", "[2].[2]"), "30");
  EXPECT_EQ(reader.get("[10, [20, 30]]", "[2][1]"), "20");
  EXPECT_EQ(reader.get("[10, [20, 30]]", "[1][1]"), "");
  EXPECT_EQ(reader.get(R"({"":5})", ""), R"({"":5})");
  EXPECT_EQ(reader.get(R"({"":5})", "."), "");
}

TEST(JsonReader, MalformedTextsGiveNothing) {
  const std::string malformed[] = {
      "",
      "   ",
      "{",
      R"({"a":})",
      R"({"a" 1})",
      R"({"a":1,})",
      "[1,]",
      "[1 2]",
      R"({"a":1}})",
      R"({"a":1} trailing)",
      R"({"a":"unterminated})",
      "{'a':1}",
      "{a:1}",
      R"({"a":nul})",
      R"({"a":01})",
      R"({"a":1.})",
      R"({"a":-})",
      R"({"a":1e})",
      R"({"a":[1,2})",
      R"({"a":{"b":1])",
      "<html>error</html>",
      std::string(100000, '['),
      std::string(300, '[') + std::string(300, ']'),
  };
  JsonReader reader;
  for (const std::string& text : malformed) {
    EXPECT_EQ(reader.get(text, "a"), "") << text.substr(0, 40);
    EXPECT_EQ(reader.get(text, ""), "") << text.substr(0, 40);
    EXPECT_EQ(reader.get(text, "[1]"), "") << text.substr(0, 40);
  }
}

TEST(JsonReader, NestingUpToTheLimitIsRead) {
  std::string deep = std::string(200, '[') + "7" + std::string(200, ']');
  std::string path = "[1]";
  for (int i = 1; i < 200; ++i) path += "[1]";
  EXPECT_EQ(JsonReader().get(deep, path), "7");
}

}  // namespace
}  // namespace qovra::web
