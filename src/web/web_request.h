// WebRequest: the box's HTTP client object, and its four ways of asking a server.
//  - fetchTextNative: the session-shaped exchange run on a worker thread while the window
//    thread keeps handling messages; serves the box configuration.
//  - fetchText, fetchBytes, peekRedirect: through the object's request object, on the
//    calling thread; serve the share-link resolvers and the download retry.
// Texts are UTF-8; bodies are bytes held in std::string. No operation reports an error:
// a failure gives an empty result, and the caller decides what that means.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qovra::platform {
class HttpRequestObject;
}

namespace qovra::web {

// The user agent every path sends unless the caller names another.
inline constexpr std::string_view kDefaultUserAgent =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/30.0.1599.101 Safari/537.36";

// Arguments of fetchTextNative; every one is optional. Fields marked in/out or out are
// written back by the call.
struct NativeFetchArgs {
  std::string postText;        // body as text; a non-empty body makes the request a POST
  int encoding = 0;            // in/out: reply encoding; 0 detects and receives 2 for UTF-8
  double timeoutSeconds = 0;   // 0: 120 seconds
  std::string proxy;           // empty: direct
  std::string postBytes;       // body as bytes; replaces postText when non-empty
  std::string referer;         // empty: the URL itself
  std::string cookies;         // sent as the Cookie line when non-empty
  std::string headers;         // extra header lines joined by "\r\n"
  bool addRandomIpHeaders = false;
  // Other transports the box never selects; accepted and ignored, the threaded exchange
  // always runs.
  bool inlineWinInet = false;
  bool useWinHttpApi = false;

  std::string replyCookies;    // out: "name=value;" for every Set-Cookie line
  std::string replyBytes;      // out: the reply body before decoding
  std::string replyHeaders;    // out: the reply's raw status and header lines
};

// The box configuration's request: the URL alone, every argument at its default.
std::string fetchTextNative(std::string_view url);
std::string fetchTextNative(std::string_view url, NativeFetchArgs& args);

struct FetchTextArgs {
  std::string postText;
  int encoding = 0;                    // in/out; -2 the object's own text, -1 the bytes as they are
  double timeoutSeconds = 0;           // -1 keeps the object's own time-outs
  std::optional<std::string> proxy;    // nullopt or "-1": no proxy call; "IE": the system's
  bool synchronous = false;
  std::string postBytes;
  std::string referer;                 // empty: the URL
  std::string cookies;                 // in/out; "-1" sends an empty Cookie header
  bool keepCookies = false;
  std::string contentType;             // empty: application/x-www-form-urlencoded
  std::string userAgent;               // empty: kDefaultUserAgent
  std::string headers;                 // "Name: value" lines joined by "\r\n"
  bool addRandomIpHeaders = false;
};

struct FetchBytesArgs {
  std::string postText;
  int timeoutSeconds = 0;              // -1 keeps the object's own time-outs
  std::optional<std::string> proxy;
  bool synchronous = false;
  std::string postBytes;
  std::string referer;
  std::string cookies;                 // in/out, as for fetchText
  bool keepCookies = false;
  std::string contentType;
  std::string userAgent;
  std::string headers;
  int encoding = 0;                    // in/out: receives 2 when the reply names UTF-8
  bool addRandomIpHeaders = false;
};

struct PeekRedirectArgs {
  bool synchronous = false;
  std::string referer;
  std::optional<std::string> cookies;  // sent only when supplied
  std::string proxy;                   // non-empty: a proxy ("IE": the system's)
  std::string userAgent;
  std::string postText;
  std::string headers;
};

class WebRequest {
 public:
  WebRequest();  // creates the request object
  ~WebRequest();
  // A copy shares the request object and copies both cookie texts.
  WebRequest(const WebRequest& other);
  WebRequest& operator=(const WebRequest& other);

  // Releases the request object and creates a new one.
  void reset();

  std::string keptCookies;       // sent by later requests when the caller passes none
  std::string lastReplyCookies;  // cookies of the most recent reply, "a=1; path=/; b=2; "

  std::string fetchText(std::string_view url);
  std::string fetchText(std::string_view url, FetchTextArgs& args);
  std::string fetchBytes(std::string_view url);
  std::string fetchBytes(std::string_view url, FetchBytesArgs& args);
  std::string peekRedirect(std::string_view url, const PeekRedirectArgs& args = {});

  // The wrapper operations the three above are built from.
  void open(std::string_view method, std::string_view url, bool async = false);
  long option(int index, std::optional<long> value = std::nullopt);
  void setProxy(int setting, std::string_view proxyText, std::string_view bypass = {});
  void setCredentials(std::string_view user, std::string_view password, int forProxy = 0);
  void setRequestHeader(std::string_view name, std::string_view value);
  std::string responseHeader(std::string_view name) const;
  std::string allResponseHeaders() const;
  std::string responseText() const;
  std::string responseBody() const;
  int status() const;
  void send(std::string_view text = {}, std::string_view bytes = {});
  void waitForResponse(double seconds);
  void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs);
  std::string setCookieLines() const;
  std::string replyCookies() const;

 private:
  struct Shared;  // the request object, shared by copies, and whether a reply is awaited
  struct Steps;   // the steps the three operations are made of
  // The request object; null while this object (or a copy) awaits a reply, so a handler
  // run during that wait gets empty results instead of disturbing the request.
  platform::HttpRequestObject* object() const;
  bool busy() const;
  std::shared_ptr<Shared> request_;
};

// "X-Forward-For: A\r\nX-Forwarded-For: A\r\nREMOTE_ADDR: A" for a random IPv4 address A.
std::string randomIpHeaders();

}  // namespace qovra::web
