// How the request-object clients read a reply: header lines, one header's value, and the
// body as text.
#include <gtest/gtest.h>

#include "platform/http_reply.h"

namespace qovra::platform {
namespace {

TEST(HttpReply, HeaderLinesLeaveOutTheStatusLineAndTheEnd) {
  struct Case {
    std::string_view raw, lines;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"HTTP/1.1 200 OK\r\nA: 1\r\nB: 2\r\n\r\n", "A: 1\r\nB: 2\r\n"},
           {"HTTP/1.1 204 No Content\r\n\r\n", ""},
           {"HTTP/1.1 200 OK\r\nA: 1\r\n", "A: 1\r\n"},
           {"HTTP/1.1 200 OK", ""},
           {"", ""},
       }) {
    EXPECT_EQ(headerLinesOf(c.raw), c.lines) << c.raw;
  }
}

TEST(HttpReply, HeaderValueFindsTheFirstOfItsNameInAnyCase) {
  const std::string_view lines = "Content-Type: text/html\r\nlocation:  /next\r\nX-A:\r\nLocation: /second\r\n";
  struct Case {
    std::string_view name, value;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"Location", "/next"}, {"CONTENT-TYPE", "text/html"}, {"X-A", ""}, {"Missing", ""}, {"Content", ""}}) {
    EXPECT_EQ(headerValue(lines, c.name), c.value) << c.name;
  }
}

TEST(HttpReply, BodyAsTextFollowsTheCharsetOfTheContentType) {
  struct Case {
    std::string_view contentType;
    std::string body;
    std::string_view text;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"text/plain; charset=GBK", "\xBA\xD0\xD7\xD3", "盒子"},
           {"text/plain; charset=\"gb2312\"", "\xBA\xD0\xD7\xD3", "盒子"},
           {"text/html;charset=utf-8", "\xE7\x9B\x92", "盒"},
           {"text/plain", "\xE7\x9B\x92", "盒"},
           {"text/plain; charset=big5", "\xA4\xA4", "中"},
           {"text/plain; charset=utf-16le", std::string("A\0B\0", 4), "AB"},
       }) {
    EXPECT_EQ(bodyAsText(c.body, c.contentType), c.text) << c.contentType;
  }
}

}  // namespace
}  // namespace qovra::platform
