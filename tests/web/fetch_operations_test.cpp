// fetchText, fetchBytes and peekRedirect: the calls they make on the request object
// (through a recording one) and what arrives at the local test server.
#include <gtest/gtest.h>

#include <chrono>

#include "web/web_request.h"
#include "web_test_support.h"

namespace qovra::web {
namespace {

using test::Echo;
using test::HeaderList;
using test::parseEcho;
using test::serverUrl;
using Calls = std::vector<std::string>;

const std::string kAgent(kDefaultUserAgent);
constexpr std::string_view kPeekAccept =
    "image/gif, image/x-xbitmap, image/jpeg, imagepeg, application/x-shockwave-flash, "
    "application/x-silverlight, */*";

class FetchCalls : public test::WindowFixture {
 protected:
  test::RecordingTransport transport;
  WebRequest request;  // made after the transport, so on the recording object
  Calls& calls() { return transport.request->calls; }
};

TEST_F(FetchCalls, FetchTextWithEveryDefault) {
  request.fetchText(" example/a#frag ");
  EXPECT_EQ(calls(), (Calls{
                         "open GET http://example/a async",
                         "header Referer: http://example/a#frag",
                         "header Content-Type: application/x-www-form-urlencoded",
                         "header User-Agent: " + kAgent,
                         "timeouts 10000 10000 60000 120000",
                         "option 4 0",
                         "send ",
                         "wait 120",
                     }));
}

TEST_F(FetchCalls, FetchBytesPostsWithTheCallersTypeAgentRefererAndHeaders) {
  FetchBytesArgs args;
  args.postText = "text";
  args.postBytes = "bytes";
  args.referer = "example/page";
  args.contentType = "text/plain";
  args.userAgent = "Agent/3";
  args.headers = "X-A: 1\r\nX-B: one: two\r\nnot a header\r\n: no-name\r\nX-C: \r\n";
  args.synchronous = true;
  request.fetchBytes("https://example/p", args);
  EXPECT_EQ(calls(), (Calls{
                         "open POST https://example/p sync",
                         "header Referer: http://example/page",
                         "header Content-Type: text/plain",
                         "header User-Agent: Agent/3",
                         "header X-A: 1",
                         "header X-B: one",
                         "timeouts 10000 10000 60000 120000",
                         "option 4 0",
                         "send bytes",
                     }));
}

TEST_F(FetchCalls, HeaderLinesNamingTypeOrAgentReplaceTheDefaults) {
  FetchTextArgs args;
  args.headers = "Content-Type: a/b\r\nUser-Agent: Mine";
  request.fetchText("http://h/", args);
  EXPECT_EQ(transport.request->callsStartingWith("header"),
            (Calls{"header Referer: http://h/", "header Content-Type: a/b", "header User-Agent: Mine"}));
  // The test for the caller's line minds case: a lower-case name keeps the default too.
  calls().clear();
  args.headers = "content-type: a/b";
  request.fetchText("http://h/", args);
  EXPECT_EQ(transport.request->callsStartingWith("header"),
            (Calls{"header Referer: http://h/", "header Content-Type: application/x-www-form-urlencoded",
                   "header User-Agent: " + kAgent, "header content-type: a/b"}));
}

TEST_F(FetchCalls, TimeOutsAndWaits) {
  struct Case {
    bool bytes;
    double seconds;
    Calls expected;
  };
  const Calls defaults{"timeouts 10000 10000 60000 120000", "wait 120"};
  for (const Case& c : std::initializer_list<Case>{
           {false, 0, defaults},
           {false, 0.5, defaults},
           {false, 30, {"timeouts 15000 15000 30000 30000", "wait 30"}},
           {false, 2.5, {"timeouts 1250 1250 2500 2500", "wait 2.5"}},
           {false, 1 - 1e-8, {"timeouts 499 499 999 999", "wait 120"}},
           {false, -1, {"wait 120"}},
           {true, 0, defaults},
           {true, -5, defaults},
           {true, 30, {"timeouts 30000 30000 30000 30000", "wait 30"}},
           {true, -1, {"wait 120"}},
       }) {
    calls().clear();
    if (c.bytes) {
      FetchBytesArgs args;
      args.timeoutSeconds = static_cast<int>(c.seconds);
      request.fetchBytes("http://h/", args);
    } else {
      FetchTextArgs args;
      args.timeoutSeconds = c.seconds;
      request.fetchText("http://h/", args);
    }
    Calls seen = transport.request->callsStartingWith("timeouts");
    for (const std::string& wait : transport.request->callsStartingWith("wait")) seen.push_back(wait);
    EXPECT_EQ(seen, c.expected) << (c.bytes ? "bytes " : "text ") << c.seconds;
  }
}

TEST_F(FetchCalls, SetTimeoutsFillsUnsetValuesFromTheResolveTime) {
  request.setTimeouts(5, 0, -1, 7);
  EXPECT_EQ(calls(), Calls{"timeouts 5 5 5 7"});
}

TEST_F(FetchCalls, Cookies) {
  struct Case {
    std::string kept, given;
    std::vector<std::string> header;
    std::string givenAfter;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"a=1", "", {"header Cookie: a=1"}, "a=1"},
           {"a=1", "-1", {"header Cookie: "}, "-1"},
           {"", "-1", {"header Cookie: "}, "-1"},
           {"a=1", "x=2", {"header Cookie: x=2"}, "x=2"},
           {"", "", {}, ""},
       }) {
    calls().clear();
    request.keptCookies = c.kept;
    FetchTextArgs args;
    args.cookies = c.given;
    request.fetchText("http://h/", args);
    EXPECT_EQ(transport.request->callsStartingWith("header Cookie"), c.header) << c.kept << "|" << c.given;
    EXPECT_EQ(args.cookies, c.givenAfter);
  }
}

TEST_F(FetchCalls, ReplyCookiesKeepTheirAttributesAndEndWithTheSeparator) {
  transport.request->replyHeaders =
      "Content-Type: text/plain\r\nSet-Cookie: a=1; path=/\r\nX-Set-Cookie: no\r\nSet-Cookie: b=2\r\n";
  EXPECT_EQ(request.setCookieLines(), "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n");
  EXPECT_EQ(request.replyCookies(), "a=1; path=/; b=2; ");

  request.fetchText("http://h/");
  EXPECT_EQ(request.lastReplyCookies, "a=1; path=/; b=2; ");
  EXPECT_EQ(request.keptCookies, "");
  FetchTextArgs keep;
  keep.keepCookies = true;
  request.fetchText("http://h/", keep);
  EXPECT_EQ(request.keptCookies, "a=1; path=/; b=2; ");
}

TEST_F(FetchCalls, FetchBytesKeepsCookiesOnlyWhenAskedAndLeavesTheLastReplysAlone) {
  transport.request->replyHeaders = "Set-Cookie: s=9\r\n";
  request.lastReplyCookies = "old";
  FetchBytesArgs args;
  request.fetchBytes("http://h/", args);
  EXPECT_EQ(request.keptCookies, "");
  args.keepCookies = true;
  request.fetchBytes("http://h/", args);
  EXPECT_EQ(request.keptCookies, "s=9; ");
  EXPECT_EQ(request.lastReplyCookies, "old");
}

TEST_F(FetchCalls, Proxies) {
  struct Case {
    std::optional<std::string> proxy;
    Calls expected;
  };
  transport.systemProxy = "system:3128";
  for (const Case& c : std::initializer_list<Case>{
           {std::nullopt, {}},
           {"-1", {}},
           {"", {"proxy 0 "}},
           {"IE", {"proxy 2 system:3128"}},
           {"p:8080", {"proxy 2 p:8080"}},
           {"p:8080,user,pw", {"proxy 2 p:8080", "credentials user pw proxy"}},
           {"IE,user,pw", {"proxy 2 system:3128", "credentials user pw proxy"}},
           {"p:8080,user", {"proxy 2 p:8080"}},
       }) {
    calls().clear();
    FetchTextArgs args;
    args.proxy = c.proxy;
    request.fetchText("http://h/", args);
    Calls seen = transport.request->callsStartingWith("proxy");
    for (const std::string& call : transport.request->callsStartingWith("credentials")) seen.push_back(call);
    EXPECT_EQ(seen, c.expected) << c.proxy.value_or("(omitted)");
  }
  calls().clear();
  transport.systemProxy = "";
  FetchTextArgs ie;
  ie.proxy = "IE";
  request.fetchText("http://h/", ie);
  EXPECT_EQ(transport.request->callsStartingWith("proxy"), Calls{"proxy 0 "});
}

TEST_F(FetchCalls, OpenNormalisesTheUrl) {
  struct Case {
    std::string_view url, opened;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"", "open GET  sync"},
           {"example/a#b#c", "open GET http://example/a sync"},
           {"HTTPS://example/a", "open GET HTTPS://example/a sync"},
           {"Http://example/a", "open GET Http://example/a sync"},
           {"#x", "open GET http:// sync"},
       }) {
    calls().clear();
    request.open("GET", c.url);
    EXPECT_EQ(calls(), Calls{std::string(c.opened)}) << c.url;
  }
}

TEST_F(FetchCalls, OnlyTheRefererGetsASchemePutInFront) {
  struct Case {
    std::string_view name, value, sent;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"Referer", "example/page", "header Referer: http://example/page"},
           {"referer", "HTTPS://example/", "header referer: HTTPS://example/"},
           {"REFERER", "", "header REFERER: http://"},
           {"X-Referer", "example/page", "header X-Referer: example/page"},
       }) {
    calls().clear();
    request.setRequestHeader(c.name, c.value);
    EXPECT_EQ(calls(), Calls{std::string(c.sent)});
  }
}

TEST_F(FetchCalls, PeekRedirectWithEveryDefault) {
  transport.request->replyHeaders = "Location: http://elsewhere/file.rar\r\n";
  EXPECT_EQ(request.peekRedirect("example/s"), "http://elsewhere/file.rar");
  EXPECT_EQ(calls(), (Calls{
                         "option 6 0",
                         "timeouts 5000 5000 10000 5000",
                         "open GET http://example/s async",
                         "header User-Agent: " + kAgent,
                         "header Accept-Language: zh-cn",
                         "header Connection: Keep-Alive",
                         "header Accept: " + std::string(kPeekAccept),
                         "header Referer: http://example/s",
                         "option 4 0",
                         "send ",
                         "wait 25",
                         "option 6 1",
                     }));
}

TEST_F(FetchCalls, PeekRedirectPostingWithCookiesHeadersAndProxy) {
  PeekRedirectArgs args;
  args.postText = "a=1";
  args.cookies = "";
  args.referer = "http://from/";
  args.userAgent = "Agent/4";
  args.headers = "X-A: 1";
  args.proxy = "-1";
  request.peekRedirect("http://h/p", args);
  EXPECT_EQ(calls(), (Calls{
                         "option 6 0",
                         "timeouts 5000 5000 10000 5000",
                         "open POST http://h/p async",
                         "header User-Agent: Agent/4",
                         "header Accept-Language: zh-cn",
                         "header Connection: Keep-Alive",
                         "header Accept: " + std::string(kPeekAccept),
                         "header Referer: http://from/",
                         "header Cookie: ",
                         "header X-A: 1",
                         "proxy 2 -1",
                         "option 4 0",
                         "send a=1",
                         "wait 100",
                         "option 6 1",
                     }));
}

TEST_F(FetchCalls, ReplyEncodings) {
  transport.request->replyHeaders = "Content-Type: text/html; charset='UTF-8'\r\n";
  transport.request->replyBody = std::string("\xE7\x9B\x92\0tail", 7);
  struct Case {
    int encoding;
    std::string text;
    int after;
  };
  for (const Case& c : std::initializer_list<Case>{
           {-2, "text:" + transport.request->replyBody, -2},
           {-1, "\xE7\x9B\x92", -1},
           {0, "盒", 2},
       }) {
    FetchTextArgs args;
    args.encoding = c.encoding;
    EXPECT_EQ(request.fetchText("http://h/", args), c.text) << c.encoding;
    EXPECT_EQ(args.encoding, c.after);
  }
  FetchBytesArgs bytes;
  EXPECT_EQ(request.fetchBytes("http://h/", bytes), transport.request->replyBody);
  EXPECT_EQ(bytes.encoding, 2);
}

TEST_F(FetchCalls, RandomAddressHeadersFollowTheCallersHeaders) {
  FetchTextArgs args;
  args.headers = "X-A: 1";
  args.addRandomIpHeaders = true;
  request.fetchText("http://h/", args);
  const Calls headers = transport.request->callsStartingWith("header");
  ASSERT_EQ(headers.size(), 7u);
  EXPECT_EQ(headers[3], "header X-A: 1");
  const std::string address = headers[4].substr(std::string("header X-Forward-For: ").size());
  EXPECT_EQ(headers[5], "header X-Forwarded-For: " + address);
  EXPECT_EQ(headers[6], "header REMOTE_ADDR: " + address);
}

// ---- on the wire -------------------------------------------------------------------------

class FetchWire : public test::WindowFixture {
 protected:
  WebRequest request;
};

TEST_F(FetchWire, EachOperationSendsItsOwnHeadersInItsOrder) {
  const std::string url = serverUrl("/echo/ops");
  const HeaderList fetchSet{{"Referer", url}, {"Content-Type", "application/x-www-form-urlencoded"},
                            {"User-Agent", kAgent}};
  EXPECT_EQ(test::boxHeaders(parseEcho(request.fetchText(url))), fetchSet);
  EXPECT_EQ(test::boxHeaders(parseEcho(request.fetchBytes(url))), fetchSet);

  // peekRedirect gives only a Location; its headers show on the echo server's page that
  // a redirect then leads to.
  PeekRedirectArgs peek;
  peek.cookies = "c=1";
  const std::string target = request.peekRedirect(serverUrl("/redirect?to=/echo/peeked"), peek);
  EXPECT_EQ(target, "/echo/peeked");
}

TEST_F(FetchWire, PostBodiesArriveWithTheirLength) {
  FetchBytesArgs args;
  args.postBytes = std::string("a\0b=\xFF", 5);
  const Echo echo = parseEcho(request.fetchBytes(serverUrl("/echo/post"), args));
  EXPECT_EQ(echo.requestLine, "POST /echo/post HTTP/1.1");
  EXPECT_EQ(echo.body, args.postBytes);
  EXPECT_EQ(echo.valuesOf("Content-Length"), std::vector<std::string>{"5"});
  const std::string url = serverUrl("/echo/post");
  EXPECT_EQ(test::boxHeaders(echo, {"Content-Length"}),
            (HeaderList{{"Referer", url}, {"Content-Type", "application/x-www-form-urlencoded"}, {"User-Agent", kAgent}}));
}

TEST_F(FetchWire, ARefererWithoutSchemeAndAHeaderValueWithAColonAreSentAsTheBoxSetsThem) {
  FetchTextArgs args;
  args.referer = "example/page";
  args.headers = "X-Note: one: two";
  const Echo echo = parseEcho(request.fetchText(serverUrl("/echo/r"), args));
  EXPECT_EQ(echo.valuesOf("Referer"), std::vector<std::string>{"http://example/page"});
  EXPECT_EQ(echo.valuesOf("X-Note"), std::vector<std::string>{"one"});
}

TEST_F(FetchWire, KeptCookiesGoWithTheNextRequestAndMinusOneSendsAnEmptyCookie) {
  FetchTextArgs first;
  first.keepCookies = true;
  EXPECT_EQ(request.fetchText(serverUrl("/cookies"), first), "cookies");
  EXPECT_EQ(request.lastReplyCookies, "a=1; path=/; b=2; ");
  EXPECT_EQ(request.keptCookies, "a=1; path=/; b=2; ");

  FetchTextArgs next;
  const Echo echo = parseEcho(request.fetchText(serverUrl("/echo/c"), next));
  EXPECT_EQ(echo.valuesOf("Cookie"), std::vector<std::string>{"a=1; path=/; b=2; "});
  EXPECT_EQ(next.cookies, "a=1; path=/; b=2; ");

  FetchTextArgs none;
  none.cookies = "-1";
  EXPECT_EQ(parseEcho(request.fetchText(serverUrl("/echo/c"), none)).valuesOf("Cookie"), std::vector<std::string>{""});
}

TEST_F(FetchWire, RedirectsAreFollowedAndPeekRedirectOnlyLooks) {
  const std::string redirect = serverUrl("/redirect?to=/echo/target");
  EXPECT_EQ(request.peekRedirect(redirect), "/echo/target");
  EXPECT_EQ(request.peekRedirect(serverUrl("/echo/plain")), "");
  // The same object still follows redirects for the operations that expect it.
  EXPECT_EQ(parseEcho(request.fetchText(redirect)).requestLine, "GET /echo/target HTTP/1.1");
  EXPECT_EQ(parseEcho(request.fetchBytes(redirect)).requestLine, "GET /echo/target HTTP/1.1");
}

TEST_F(FetchWire, AReplyThatIsNoHttpGivesEmptyResults) {
  EXPECT_EQ(request.fetchText(serverUrl("/garbage")), "");
  EXPECT_EQ(request.fetchBytes(serverUrl("/garbage")), "");
  EXPECT_EQ(request.peekRedirect(serverUrl("/garbage")), "");
  EXPECT_EQ(request.status(), 0);
}

TEST_F(FetchWire, ErrorPagesAndStatus) {
  EXPECT_EQ(request.fetchText(serverUrl("/status/404")), "error page 404");
  EXPECT_EQ(request.status(), 404);
  EXPECT_EQ(request.fetchBytes(serverUrl("/status/500")), "error page 500");
  EXPECT_EQ(request.status(), 500);
}

TEST_F(FetchWire, CharsetsAndGzip) {
  FetchTextArgs args;
  EXPECT_EQ(request.fetchText(serverUrl("/charset/utf8-header"), args), "盒子配置：中文内容");
  EXPECT_EQ(args.encoding, 2);
  FetchTextArgs own;
  own.encoding = -2;
  EXPECT_EQ(request.fetchText(serverUrl("/charset/utf8-header"), own), "盒子配置：中文内容");
  EXPECT_NE(request.fetchText(serverUrl("/charset/meta-big5")).find("<body>中文</body>"), std::string::npos);
  // No gzip library beside the program: the body comes as it was sent.
  EXPECT_EQ(request.fetchBytes(serverUrl("/gzip")).substr(0, 2), "\x1F\x8B");
}

TEST_F(FetchWire, ASilentServerGivesEmptyResultsWithinTheTimeOuts) {
  using Clock = std::chrono::steady_clock;
  struct Case {
    std::string_view operation;
    std::chrono::seconds limit;
  };
  for (const Case& c : std::initializer_list<Case>{{"fetchText", std::chrono::seconds(6)},
                                                    {"fetchBytes", std::chrono::seconds(6)},
                                                    {"peekRedirect", std::chrono::seconds(12)}}) {
    const auto start = Clock::now();
    std::string result = "unset";
    if (c.operation == "fetchText") {
      FetchTextArgs args;
      args.timeoutSeconds = 1;
      result = request.fetchText(serverUrl("/silent"), args);
    } else if (c.operation == "fetchBytes") {
      FetchBytesArgs args;
      args.timeoutSeconds = 1;
      result = request.fetchBytes(serverUrl("/silent"), args);
    } else {
      result = request.peekRedirect(serverUrl("/silent"));
    }
    EXPECT_EQ(result, "") << c.operation;
    EXPECT_LT(Clock::now() - start, c.limit) << c.operation;
  }
}

TEST_F(FetchWire, TheWindowKeepsHandlingMessagesWhileAReplyIsAwaited) {
  startTimer();
  std::string nested = "unset", other = "unset";
  WebRequest second;
  tk.schedule(200, [&] {
    // The same object is busy and says so with an empty result; another one works.
    nested = request.fetchText(serverUrl("/echo/nested"));
    other = second.fetchText(serverUrl("/echo/other"));
  });
  FetchTextArgs args;
  args.timeoutSeconds = 1;
  EXPECT_EQ(request.fetchText(serverUrl("/silent"), args), "");
  EXPECT_GE(ticks, 5);
  EXPECT_EQ(nested, "");
  EXPECT_EQ(parseEcho(other).requestLine, "GET /echo/other HTTP/1.1");
  // Once the wait is over the object serves again.
  EXPECT_EQ(parseEcho(request.fetchText(serverUrl("/echo/after"))).requestLine, "GET /echo/after HTTP/1.1");
}

TEST_F(FetchWire, AHandlerRunInTheProxyStepCannotDisturbTheRequestBeingPrepared) {
  std::string nested = "unset";
  tk.post([&] { nested = request.fetchText(serverUrl("/echo/nested")); });
  FetchTextArgs args;
  args.proxy = "";
  EXPECT_EQ(parseEcho(request.fetchText(serverUrl("/echo/outer"), args)).requestLine, "GET /echo/outer HTTP/1.1");
  EXPECT_EQ(nested, "");
}

TEST_F(FetchWire, ASynchronousRequestNeedsNoWait) {
  FetchTextArgs args;
  args.synchronous = true;
  EXPECT_EQ(parseEcho(request.fetchText(serverUrl("/echo/sync"), args)).requestLine, "GET /echo/sync HTTP/1.1");
}

}  // namespace
}  // namespace qovra::web
