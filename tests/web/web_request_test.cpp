// The native request path (fetchTextNative): its rules through a recording session, and
// the wire against the local test server, with the window's timer ticking meanwhile.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <regex>

#include "platform/runtime.h"
#include "web/exchange_record.h"
#include "web/native_exchange.h"
#include "web/web_request.h"
#include "web/web_transport.h"
#include "web_test_support.h"

namespace qovra::web {
namespace {

using test::Echo;
using test::HeaderList;
using test::parseEcho;
using test::serverUrl;

constexpr std::string_view kAccept =
    "image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";
const std::string kAcceptLine = "Accept: " + std::string(kAccept) + "\r\n";

// ---- ExchangeRecord ----------------------------------------------------------------------

TEST(ExchangeRecord, EveryItemComesBackByteForByte) {
  ExchangeRecord record;
  record.items = {"http://h/a", "POST", "", std::string("a\0b", 3), "12:34:", "\r\n", "真", "120000"};
  const auto back = parseExchangeRecord(serialiseExchangeRecord(record));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->items, record.items);
}

TEST(ExchangeRecord, AShortStreamLeavesTheMissingItemsEmpty) {
  const auto record = parseExchangeRecord("3:abc0:2:xy");
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->items, (std::array<std::string, 8>{"abc", "", "xy", "", "", "", "", ""}));
}

TEST(ExchangeRecord, DamagedStreamsAreRefused) {
  for (std::string_view stream : {"5:abc", "x:abc", "3abc", ":", "-1:", "3:abc1", "99999999999999999999999:a",
                                  "1:a1:b1:c1:d1:e1:f1:g1:h1:i"}) {
    EXPECT_FALSE(parseExchangeRecord(stream).has_value()) << stream;
  }
}

// ---- the worker's rules ------------------------------------------------------------------

TEST(NativeRules, TargetOfUrl) {
  struct Case {
    std::string_view url;
    bool secure;
    std::string_view host;
    int port;
    std::string_view path;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"http://example/box.txt", false, "example", 80, "/box.txt"},
           {"HTTPS://example/a", true, "example", 443, "/a"},
           {"https://example:8443/x", true, "example", 8443, "/x"},
           {"http://example:8080/a?b=1&c=/d", false, "example", 8080, "/a?b=1&c=/d"},
           {"http://example?q=1", false, "example", 80, "/?q=1"},
           {"http://example", false, "example", 80, "/"},
           {"http://user:pw@example:81/p", false, "example", 81, "/p"},
           {"http://[::1]:8080/v6", false, "::1", 8080, "/v6"},
       }) {
    const auto target = nativeTargetOf(c.url);
    ASSERT_TRUE(target.has_value()) << c.url;
    EXPECT_EQ(target->secure, c.secure) << c.url;
    EXPECT_EQ(target->host, c.host) << c.url;
    EXPECT_EQ(target->port, c.port) << c.url;
    EXPECT_EQ(target->path, c.path) << c.url;
  }
  for (std::string_view bad : {"http://", "http://:80/", "http://host:0/", "http://host:65536/", "http://host:8x/",
                               "http://host:/"}) {
    EXPECT_FALSE(nativeTargetOf(bad).has_value()) << bad;
  }
}

TEST(NativeRules, RequestFlags) {
  struct Case {
    std::string_view cookies, forbid;
    bool secure;
    std::uint32_t flags;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"", kWordFalse, false, 0x80004010u},
           {"", kWordFalse, true, 0x80800010u},
           {"a=1", kWordFalse, false, 0x80084010u},
           {"   ", kWordFalse, false, 0x80004010u},
           {"", kWordTrue, false, 0x80204010u},
           {"", "", true, 0x80A00010u},
       }) {
    EXPECT_EQ(nativeRequestFlags(c.cookies, c.forbid, c.secure), c.flags) << c.cookies << "|" << c.forbid;
  }
}

TEST(NativeRules, HeaderText) {
  struct Case {
    std::string_view lines, method, body, cookies;
    std::string text;
  };
  const std::string url = "http://h/a";
  for (const Case& c : std::initializer_list<Case>{
           {"\r\nReferer: r", "GET", "", "", "\r\nReferer: r\r\n" + kAcceptLine + "Accept-Language: zh-cn\r\n"},
           {"", "GET", "", "", kAcceptLine + "Referer: " + url + "\r\nAccept-Language: zh-cn\r\n"},
           // "Accept" is found inside Accept-Language, so no Accept line is added.
           {"Accept-Language: en\r\nReferer: r", "GET", "", "", "Accept-Language: en\r\nReferer: r\r\n"},
           {"accept: */*\r\nREFERER: r\r\naccept-language: x", "GET", "", "c=1",
            "accept: */*\r\nREFERER: r\r\naccept-language: x\r\nCookie: c=1\r\n\r\n"},
           {"\r\nReferer: r", "POST", "a=1&b=2", "c=1",
            "\r\nReferer: r\r\n" + kAcceptLine +
                "Accept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n"
                "Cookie: c=1\r\n\r\n"},
           {"Content-Type: text/plain\r\nReferer: r", "POST", "x", "",
            "Content-Type: text/plain\r\nReferer: r\r\n" + kAcceptLine + "Accept-Language: zh-cn\r\nContent-Length: 1\r\n"},
       }) {
    EXPECT_EQ(nativeHeaderText(c.lines, url, c.method, c.body, c.cookies), c.text) << c.lines;
  }
}

TEST(NativeRules, CookiesFromSetCookieLines) {
  struct Case {
    std::string_view raw, cookies;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n\r\n", "a=1;b=2;"},
           {"HTTP/1.1 200 OK\r\nset-cookie: A=x; HttpOnly\r\nContent-Type: t\r\n\r\n", "A=x;"},
           {"HTTP/1.1 200 OK\r\nSet-Cookie: \r\n\r\n", ";"},
           {"HTTP/1.1 200 OK\r\nSet-Cookie:a=1\r\n\r\n", ""},
           {"HTTP/1.1 200 OK\r\nX-Set-Cookie: z=9;\r\n\r\n", "z=9;"},
           {"", ""},
       }) {
    EXPECT_EQ(cookiesFromRawHeaders(c.raw), c.cookies) << c.raw;
  }
}

TEST(NativeRules, UserAgentFromTheCallersLines) {
  EXPECT_EQ(userAgentFromHeaders("X-A: 1\r\nuser-agent:  Agent/1.0 \r\nX-B: 2"), "Agent/1.0");
  EXPECT_EQ(userAgentFromHeaders("X-A: 1"), kDefaultUserAgent);
}

// ---- the caller side, through a recording session --------------------------------------

class NativeFetchCalls : public test::WindowFixture {
 protected:
  test::RecordingTransport transport;
  std::vector<std::string>& calls() { return transport.session->calls; }
};

TEST_F(NativeFetchCalls, TheBoxConfigurationRequest) {
  fetchTextNative("example/box.txt#part");
  EXPECT_EQ(calls(), (std::vector<std::string>{
                         "session " + std::string(kDefaultUserAgent) + "|",
                         "timeouts 120000 120000 120000",
                         "connect example 80",
                         "request GET /box.txt 0x80004010",
                         "security 0x1F380",
                         "send \r\nReferer: example/box.txt\r\n" + kAcceptLine + "Accept-Language: zh-cn\r\n|",
                     }));
}

TEST_F(NativeFetchCalls, SecureUrlsConnectToTheirPortWithTheSecureFlag) {
  struct Case {
    std::string_view url, connect, request;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"HTTPS://example/a", "connect example 443", "request GET /a 0x80800010"},
           {"https://example:8443/a", "connect example 8443", "request GET /a 0x80800010"},
           {"  http://example:81  ", "connect example 81", "request GET / 0x80004010"},
       }) {
    calls().clear();
    fetchTextNative(c.url);
    ASSERT_EQ(calls().size(), 6u) << c.url;
    EXPECT_EQ(calls()[2], c.connect) << c.url;
    EXPECT_EQ(calls()[3], c.request) << c.url;
  }
}

TEST_F(NativeFetchCalls, UnusableUrlsOpenNoSession) {
  for (std::string_view url : {"", "   ", "http://", "http://host:99999/", "#only-fragment"}) {
    calls().clear();
    EXPECT_EQ(fetchTextNative(url), "") << url;
    EXPECT_EQ(calls(), std::vector<std::string>{}) << url;
  }
}

TEST_F(NativeFetchCalls, TimeOuts) {
  struct Case {
    double seconds;
    std::string_view call;
  };
  for (const Case& c : std::initializer_list<Case>{{0, "timeouts 120000 120000 120000"},
                                                    {0.00000001, "timeouts 120000 120000 120000"},
                                                    {30, "timeouts 30000 30000 30000"},
                                                    {2.9, "timeouts 2000 2000 2000"},
                                                    {0.5, "timeouts 60000 60000 60000"},
                                                    {-3, "timeouts 60000 60000 60000"}}) {
    calls().clear();
    NativeFetchArgs args;
    args.timeoutSeconds = c.seconds;
    fetchTextNative("http://h/", args);
    ASSERT_GE(calls().size(), 2u);
    EXPECT_EQ(calls()[1], c.call) << c.seconds;
  }
}

TEST_F(NativeFetchCalls, ProxyNamesTheHttpSchemeOnlyForPlainUrls) {
  NativeFetchArgs args;
  args.proxy = "proxy:8080";
  fetchTextNative("http://h/", args);
  fetchTextNative("https://h/", args);
  const std::string session = "session " + std::string(kDefaultUserAgent) + "|";
  EXPECT_EQ(calls()[0], session + "http=proxy:8080");
  EXPECT_EQ(calls()[6], session + "proxy:8080");
}

TEST_F(NativeFetchCalls, CallerHeadersRefererCookiesAndPostBody) {
  NativeFetchArgs args;
  args.headers = "User-Agent: Agent/2\r\nX-A: 1";
  args.referer = "http://from/";
  args.cookies = "c=1";
  args.postText = "ignored";
  args.postBytes = std::string("a\0b", 3);
  fetchTextNative("http://h/p", args);
  EXPECT_EQ(calls(), (std::vector<std::string>{
                         "session Agent/2|",
                         "timeouts 120000 120000 120000",
                         "connect h 80",
                         "request POST /p 0x80084010",
                         "security 0x1F380",
                         "send User-Agent: Agent/2\r\nX-A: 1\r\nReferer: http://from/\r\n" + kAcceptLine +
                             "Accept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                             "Content-Length: 3\r\nCookie: c=1\r\n\r\n|" + std::string("a\0b", 3),
                     }));
}

TEST_F(NativeFetchCalls, RandomAddressHeadersFollowTheCallersLines) {
  NativeFetchArgs args;
  args.headers = "X-A: 1";
  args.addRandomIpHeaders = true;
  fetchTextNative("http://h/", args);
  ASSERT_EQ(calls().size(), 6u);
  const std::regex sent(
      "send X-A: 1\r\nX-Forward-For: ([0-9.]+)\r\nX-Forwarded-For: \\1\r\nREMOTE_ADDR: \\1\r\nReferer: http://h/\r\n[\\s\\S]*");
  EXPECT_TRUE(std::regex_match(calls()[5], sent)) << calls()[5];
}

TEST_F(NativeFetchCalls, ReplyOutputs) {
  transport.session->replyHeaders =
      "HTTP/1.1 200 OK\r\nContent-Type: text/plain; Charset=\"UTF-8\"\r\nSet-Cookie: a=1; path=/\r\n"
      "Set-Cookie: b=2\r\n\r\n";
  transport.session->replyBody = "\xE7\x9B\x92\xE5\xAD\x90";
  NativeFetchArgs args;
  EXPECT_EQ(fetchTextNative("http://h/", args), "盒子");
  EXPECT_EQ(args.encoding, 2);
  EXPECT_EQ(args.replyCookies, "a=1;b=2;");
  EXPECT_EQ(args.replyHeaders, transport.session->replyHeaders);
  EXPECT_EQ(args.replyBytes, transport.session->replyBody);
}

TEST_F(NativeFetchCalls, AChosenEncodingIsKept) {
  transport.session->replyHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
  transport.session->replyBody = "ABC";
  NativeFetchArgs args;
  args.encoding = 1;
  EXPECT_EQ(fetchTextNative("http://h/", args), "ABC");
  EXPECT_EQ(args.encoding, 1);
}

// ---- on the wire -------------------------------------------------------------------------

class NativeFetchWire : public test::WindowFixture {};

TEST_F(NativeFetchWire, WithNoCallerHeadersTheBoxSendsRefererAcceptAndLanguageInThatOrder) {
  const std::string url = serverUrl("/echo/box.txt");
  const Echo echo = parseEcho(fetchTextNative(url + "#part"));
  EXPECT_EQ(echo.requestLine, "GET /echo/box.txt HTTP/1.1");
  EXPECT_EQ(test::boxHeaders(echo, {"User-Agent"}),
            (HeaderList{{"Referer", url}, {"Accept", std::string(kAccept)}, {"Accept-Language", "zh-cn"}}));
  EXPECT_EQ(echo.valuesOf("User-Agent"), std::vector<std::string>{std::string(kDefaultUserAgent)});
}

TEST_F(NativeFetchWire, UrlForms) {
  struct Case {
    std::string url;
    std::string_view requestLine;
  };
  const std::string authority = test::serverAuthority();
  for (const Case& c : std::initializer_list<Case>{
           {authority + "/echo/no-scheme", "GET /echo/no-scheme HTTP/1.1"},
           {"HTTP://" + authority + "/echo/caps?x=1", "GET /echo/caps?x=1 HTTP/1.1"},
           {" http://" + authority + "/echo/f#frag ", "GET /echo/f HTTP/1.1"},
       }) {
    EXPECT_EQ(parseEcho(fetchTextNative(c.url)).requestLine, c.requestLine) << c.url;
  }
}

TEST_F(NativeFetchWire, PostSendsItsBodyWithTypeLengthAndCookies) {
  NativeFetchArgs args;
  args.postText = "name=盒子&v=1";
  args.cookies = "sid=42";
  const Echo echo = parseEcho(fetchTextNative(serverUrl("/echo/post"), args));
  EXPECT_EQ(echo.requestLine, "POST /echo/post HTTP/1.1");
  EXPECT_EQ(echo.body, "name=盒子&v=1");
  EXPECT_EQ(echo.valuesOf("Content-Type"), std::vector<std::string>{"application/x-www-form-urlencoded"});
  EXPECT_EQ(echo.valuesOf("Content-Length"), std::vector<std::string>{std::to_string(args.postText.size())});
  EXPECT_EQ(echo.valuesOf("Cookie"), std::vector<std::string>{"sid=42"});
}

TEST_F(NativeFetchWire, RedirectsAreFollowed) {
  const Echo echo = parseEcho(fetchTextNative(serverUrl("/redirect?to=/echo/target")));
  EXPECT_EQ(echo.requestLine, "GET /echo/target HTTP/1.1");
}

TEST_F(NativeFetchWire, TwoSetCookieLinesGiveTheReplyCookies) {
  NativeFetchArgs args;
  EXPECT_EQ(fetchTextNative(serverUrl("/cookies"), args), "cookies");
  EXPECT_EQ(args.replyCookies, "a=1;b=2;");
  EXPECT_NE(args.replyHeaders.find("Set-Cookie: b=2\r\n"), std::string::npos) << args.replyHeaders;
}

TEST_F(NativeFetchWire, ReplyHeadersLongerThanAnyFixedBufferKeepTheirCookies) {
  NativeFetchArgs args;
  EXPECT_EQ(fetchTextNative(serverUrl("/long-headers"), args), "long");
  EXPECT_EQ(args.replyCookies, "late=1;");
  EXPECT_GT(args.replyHeaders.size(), 4000u);
}

TEST_F(NativeFetchWire, ErrorPagesAreReturnedAsText) {
  EXPECT_EQ(fetchTextNative(serverUrl("/status/404")), "error page 404");
  EXPECT_EQ(fetchTextNative(serverUrl("/status/500")), "error page 500");
}

TEST_F(NativeFetchWire, Charsets) {
  struct Case {
    std::string_view path, text;
    int encodingAfter;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"/charset/utf8-header", "盒子配置：中文内容", 2},
           {"/charset/utf8-quoted", "盒子配置：中文内容", 2},
           {"/charset/utf8-plain", "盒子配置：中文内容", 0},
           {"/charset/gbk-plain", "盒子配置：中文内容", 0},
       }) {
    NativeFetchArgs args;
    EXPECT_EQ(fetchTextNative(serverUrl(c.path), args), c.text) << c.path;
    EXPECT_EQ(args.encoding, c.encodingAfter) << c.path;
  }
  EXPECT_NE(fetchTextNative(serverUrl("/charset/meta-big5")).find("<body>中文</body>"), std::string::npos);
}

TEST_F(NativeFetchWire, AGzipBodyArrivesAsSent) {
  NativeFetchArgs args;
  fetchTextNative(serverUrl("/gzip"), args);
  ASSERT_GE(args.replyBytes.size(), 2u);
  EXPECT_EQ(args.replyBytes.substr(0, 2), "\x1F\x8B");
}

TEST_F(NativeFetchWire, ARefusedConnectionGivesAnEmptyText) {
  NativeFetchArgs args;
  args.timeoutSeconds = 5;
  EXPECT_EQ(fetchTextNative("http://127.0.0.1:1/", args), "");
  EXPECT_EQ(args.replyHeaders, "");
}

TEST_F(NativeFetchWire, ASilentServerGivesAnEmptyTextWhileTheWindowKeepsTicking) {
  startTimer();
  NativeFetchArgs args;
  args.timeoutSeconds = 1;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetchTextNative(serverUrl("/silent"), args), "");
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_LT(waited, std::chrono::seconds(8));
  EXPECT_GE(waited, std::chrono::milliseconds(900));
  // A tick every 100 ms of the wait: the window thread kept handling its timer.
  EXPECT_GE(ticks, 5);
}

// The same wait on the platform's own window toolkit, where there is one: real timer
// messages are dispatched while the worker runs.
TEST(WaitOnTheNativeToolkit, ASilentServerLeavesTheTimerTicking) {
  std::unique_ptr<ui::Toolkit> toolkit = platform::createNativeToolkit();
  if (!toolkit) GTEST_SKIP() << "this build has no window toolkit of its own";
  ui::FormSpec form;
  form.name = "form";
  form.width = 200;
  form.height = 100;
  form.controls = {{.name = "tick", .kind = ui::Kind::Timer}};
  int ticks = 0;
  const ui::ControlId window = toolkit->loadForm(form, [&ticks](ui::Event& event) {
    if (event.kind == ui::EventKind::TimerTick) ++ticks;
  });
  ASSERT_NE(window, 0) << "no window: is there a display?";
  toolkit->setInt(toolkit->find(window, "tick"), ui::Prop::TimerPeriod, 100);
  ui::setToolkit(toolkit.get());
  const std::function<std::string()> operations[] = {
      [] {
        NativeFetchArgs args;
        args.timeoutSeconds = 1;
        return fetchTextNative(serverUrl("/silent"), args);
      },
      [] {
        FetchTextArgs args;
        args.timeoutSeconds = 1;
        return WebRequest().fetchText(serverUrl("/silent"), args);
      },
  };
  for (const auto& operation : operations) {
    ticks = 0;
    EXPECT_EQ(operation(), "");
    EXPECT_GE(ticks, 4);
  }
  toolkit->destroyWindow(window);
  ui::setToolkit(nullptr);
}

// ---- the object ----------------------------------------------------------------------------

TEST(WebRequestObject, CopiesShareTheRequestObjectAndResetMakesANewOne) {
  int made = 0;
  webTransport().createRequestObject = [&made] {
    ++made;
    return std::make_shared<test::RecordingRequestObject>();
  };
  {
    WebRequest first;
    first.keptCookies = "a=1";
    WebRequest copy = first;
    EXPECT_EQ(made, 1);
    EXPECT_EQ(copy.keptCookies, "a=1");
    copy.reset();
    EXPECT_EQ(made, 2);
    EXPECT_EQ(copy.keptCookies, "a=1");
  }
  restorePlatformTransport();
}

TEST(WebRequestObject, WithoutARequestObjectEveryOperationGivesAnEmptyResult) {
  webTransport().createRequestObject = [] { return std::shared_ptr<platform::HttpRequestObject>(); };
  WebRequest request;
  EXPECT_EQ(request.fetchText("http://h/"), "");
  EXPECT_EQ(request.fetchBytes("http://h/"), "");
  EXPECT_EQ(request.status(), 0);
  restorePlatformTransport();
}

TEST(WebRequestObject, RandomAddressHeaders) {
  const std::regex layout(
      "X-Forward-For: (\\d+)\\.(\\d+)\\.(\\d+)\\.(\\d+)\r\nX-Forwarded-For: \\1\\.\\2\\.\\3\\.\\4\r\n"
      "REMOTE_ADDR: \\1\\.\\2\\.\\3\\.\\4");
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    const std::string text = randomIpHeaders();
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(text, parts, layout)) << text;
    for (int octet = 1; octet <= 4; ++octet) EXPECT_LE(std::stoi(parts[octet]), 255) << text;
    seen.insert(text);
  }
  EXPECT_GT(seen.size(), 1u);
}

}  // namespace
}  // namespace qovra::web
