// WebRequest and the three operations that go through its request object.
#include "web/web_request.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "platform/http_request_object.h"
#include "platform/toolkit.h"
#include "platform/worker.h"
#include "web/http_text.h"
#include "web/reply_decoding.h"
#include "web/web_transport.h"

namespace qovra::web {
namespace {

constexpr std::string_view kUtf8Charsets = "charset=utf-8|charset=''utf-8''|charset='utf-8'";
constexpr std::string_view kPeekAccept =
    "image/gif, image/x-xbitmap, image/jpeg, imagepeg, application/x-shockwave-flash, "
    "application/x-silverlight, */*";

bool near(double value, double target) { return std::fabs(value - target) <= 1e-7; }

int milliseconds(double seconds, double factor) {
  return static_cast<int>(std::clamp(seconds * factor, -2e9, 2e9));
}

// Splits `text` on `separator`, every piece kept (empty ones too).
std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> pieces;
  for (std::size_t at; (at = text.find(separator)) != std::string_view::npos;) {
    pieces.push_back(text.substr(0, at));
    text.remove_prefix(at + separator.size());
  }
  pieces.push_back(text);
  return pieces;
}

// Every "Name: value" line becomes a request header; a value holding ": " is cut there.
void setHeaderLines(WebRequest& request, std::string_view lines) {
  for (std::string_view line : split(lines, "\r\n")) {
    const std::vector<std::string_view> parts = split(line, ": ");
    if (parts.size() >= 2 && !parts[0].empty() && !parts[1].empty()) request.setRequestHeader(parts[0], parts[1]);
  }
}

void learnEncoding(const WebRequest& request, int& encoding) {
  if (encoding == kEncodingDetect && containsAnyOf(request.allResponseHeaders(), kUtf8Charsets)) encoding = kEncodingUtf8;
}

// The Set-Cookie lines of the reply, found by name in any case.
std::vector<std::string_view> setCookieLinesOf(std::string_view headers) {
  std::vector<std::string_view> lines;
  for (std::string_view line : split(headers, "\r\n")) {
    if (startsWithNoCase(line, "Set-Cookie:")) lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::string randomIpHeaders() {
  std::mt19937 generator(std::random_device{}());
  std::uniform_int_distribution<int> octet(0, 255);
  std::string address;
  for (int i = 0; i < 4; ++i) address += (i ? "." : "") + std::to_string(octet(generator));
  return "X-Forward-For: " + address + "\r\nX-Forwarded-For: " + address + "\r\nREMOTE_ADDR: " + address;
}

struct WebRequest::Shared {
  std::shared_ptr<platform::HttpRequestObject> object;
  bool busy = false;
};

struct WebRequest::Steps {
  // The proxy step: "IE" stands for the system's setting. The window gets a turn first,
  // during which the object is busy: a handler that runs then cannot disturb the request
  // being prepared.
  static void applyProxy(WebRequest& request, std::string_view proxy) {
    std::string text(proxy);
    const std::size_t serverEnd = std::min(text.find(','), text.size());
    if (text.compare(0, serverEnd, "IE") == 0) text.replace(0, serverEnd, webTransport().systemProxy());
    const std::shared_ptr<Shared> keep = request.request_;
    keep->busy = true;
    ui::toolkit().processPendingMessages();
    keep->busy = false;
    request.setProxy(text.empty() ? platform::kProxyDefault : platform::kProxyServer, text);
  }

  // The first steps fetchText and fetchBytes share: open, the Referer, the type and agent
  // defaults, the caller's header lines and the cookies (written back to the caller).
  template <class Args>
  static void openRequest(WebRequest& request, std::string_view url, Args& args) {
    const std::string_view trimmed = trimSpaces(url);
    const bool posting = !args.postText.empty() || !args.postBytes.empty();
    request.open(posting ? "POST" : "GET", trimmed, !args.synchronous);
    request.setRequestHeader("Referer", args.referer.empty() ? trimmed : std::string_view(args.referer));
    if (args.headers.find("Content-Type:") == std::string::npos) {
      const std::string_view type = args.contentType;
      request.setRequestHeader("Content-Type", type.empty() ? "application/x-www-form-urlencoded" : type);
    }
    if (args.headers.find("User-Agent:") == std::string::npos) {
      const std::string_view agent = args.userAgent;
      request.setRequestHeader("User-Agent", agent.empty() ? kDefaultUserAgent : agent);
    }
    std::string lines = args.headers;
    if (args.addRandomIpHeaders) lines += (lines.empty() ? "" : "\r\n") + randomIpHeaders();
    setHeaderLines(request, lines);
    if (!request.keptCookies.empty() && args.cookies.empty()) args.cookies = request.keptCookies;
    if (args.cookies == "-1") {
      request.setRequestHeader("Cookie", "");
    } else if (!args.cookies.empty()) {
      request.setRequestHeader("Cookie", args.cookies);
    }
  }

  template <class Args>
  static void sendRequest(WebRequest& request, Args& args, double waitSeconds) {
    if (args.proxy && *args.proxy != "-1") applyProxy(request, *args.proxy);
    request.send(args.postText, args.postBytes);
    if (!args.synchronous) request.waitForResponse(waitSeconds);
  }
};

WebRequest::WebRequest() : request_(std::make_shared<Shared>(Shared{webTransport().createRequestObject()})) {}
WebRequest::~WebRequest() = default;
WebRequest::WebRequest(const WebRequest& other) = default;
WebRequest& WebRequest::operator=(const WebRequest& other) = default;

void WebRequest::reset() {
  request_.reset();
  request_ = std::make_shared<Shared>(Shared{webTransport().createRequestObject()});
}

bool WebRequest::busy() const { return request_->busy; }

platform::HttpRequestObject* WebRequest::object() const { return request_->busy ? nullptr : request_->object.get(); }

void WebRequest::open(std::string_view method, std::string_view url, bool async) {
  if (!object()) return;
  const std::string normalised = url.empty() ? std::string() : std::string(withoutFragment(withScheme(url)));
  object()->open(method, normalised, async);
}

long WebRequest::option(int index, std::optional<long> value) {
  if (!object()) return 0;
  if (value) object()->setOption(index, *value);
  return object()->option(index);
}

void WebRequest::setProxy(int setting, std::string_view proxyText, std::string_view bypass) {
  if (!object()) return;
  std::vector<std::string_view> parts = split(proxyText, ",");
  parts.resize(3);
  object()->setProxy(setting, parts[0], bypass);
  if (!parts[1].empty() && !parts[2].empty()) setCredentials(parts[1], parts[2], 1);
}

void WebRequest::setCredentials(std::string_view user, std::string_view password, int forProxy) {
  if (object()) object()->setCredentials(user, password, forProxy != 0);
}

void WebRequest::setRequestHeader(std::string_view name, std::string_view value) {
  if (!object()) return;
  std::string lowered(name);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  const bool schemeless = !startsWithNoCase(value, "http://") && !startsWithNoCase(value, "https://");
  if (lowered == "referer" && schemeless) {
    object()->setRequestHeader(name, "http://" + std::string(value));
  } else {
    object()->setRequestHeader(name, value);
  }
}

std::string WebRequest::responseHeader(std::string_view name) const {
  return object() ? object()->responseHeader(name) : std::string();
}
std::string WebRequest::allResponseHeaders() const { return object() ? object()->allResponseHeaders() : std::string(); }
std::string WebRequest::responseText() const { return object() ? object()->responseText() : std::string(); }
std::string WebRequest::responseBody() const { return object() ? object()->responseBody() : std::string(); }
int WebRequest::status() const { return object() ? object()->status() : 0; }

void WebRequest::send(std::string_view text, std::string_view bytes) {
  if (!object()) return;
  option(platform::kOptionSslErrorIgnoreFlags, 0);
  object()->send(!bytes.empty() ? bytes : text);
}

// The reply is awaited on a worker while the window keeps handling messages. The object
// is left to the worker meanwhile; `keep` holds it even if a handler resets this one.
void WebRequest::waitForResponse(double seconds) {
  platform::HttpRequestObject* awaited = object();
  if (!awaited) return;
  const std::shared_ptr<Shared> keep = request_;
  keep->busy = true;
  {
    platform::Worker worker([awaited, seconds] { awaited->waitForResponse(seconds); });
    ui::toolkit().waitForWorker(worker);
  }
  keep->busy = false;
}

void WebRequest::setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) {
  if (!object()) return;
  const auto orResolve = [resolveMs](int ms) { return ms <= 0 ? resolveMs : ms; };
  object()->setTimeouts(resolveMs, orResolve(connectMs), orResolve(sendMs), orResolve(receiveMs));
}

std::string WebRequest::setCookieLines() const {
  const std::string headers = allResponseHeaders();
  std::string lines;
  for (std::string_view line : setCookieLinesOf(headers)) {
    lines += line;
    lines += "\r\n";
  }
  return lines;
}

std::string WebRequest::replyCookies() const {
  const std::string headers = allResponseHeaders();
  std::string cookies;
  for (std::string_view line : setCookieLinesOf(headers)) {
    line.remove_prefix(std::string_view("Set-Cookie:").size());
    if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    cookies += line;
    cookies += "; ";
  }
  return cookies;
}

std::string WebRequest::fetchText(std::string_view url) {
  FetchTextArgs args;
  return fetchText(url, args);
}

std::string WebRequest::fetchText(std::string_view url, FetchTextArgs& args) {
  if (busy()) return {};
  Steps::openRequest(*this, url, args);
  const double x = args.timeoutSeconds;
  if (!near(x, -1)) {
    if (x >= 1 - 1e-7) {
      setTimeouts(milliseconds(x, 500), milliseconds(x, 500), milliseconds(x, 1000), milliseconds(x, 1000));
    } else {
      setTimeouts(10000, 10000, 60000, 120000);
    }
  }
  Steps::sendRequest(*this, args, x >= 1 ? x : 120);
  lastReplyCookies = replyCookies();
  if (args.keepCookies) keptCookies = lastReplyCookies;
  if (args.encoding == kEncodingRequestObjectText) return responseText();
  const std::string body = responseBody();
  if (args.encoding == kEncodingBodyAsIs) return body.substr(0, body.find('\0'));
  learnEncoding(*this, args.encoding);
  return decodeReplyText(body, args.encoding).text;
}

std::string WebRequest::fetchBytes(std::string_view url) {
  FetchBytesArgs args;
  return fetchBytes(url, args);
}

std::string WebRequest::fetchBytes(std::string_view url, FetchBytesArgs& args) {
  if (busy()) return {};
  Steps::openRequest(*this, url, args);
  const int x = args.timeoutSeconds;
  if (x != -1) {
    if (x > 0) {
      const int ms = milliseconds(x, 1000);
      setTimeouts(ms, ms, ms, ms);
    } else {
      setTimeouts(10000, 10000, 60000, 120000);
    }
  }
  Steps::sendRequest(*this, args, x >= 1 ? x : 120);
  if (args.keepCookies) keptCookies = replyCookies();
  learnEncoding(*this, args.encoding);
  std::string body = responseBody();
  if (body.size() >= 2 && body[0] == '\x1F' && body[1] == '\x8B' && gzipLibraryPresent()) return inflateGzip(body);
  return body;
}

std::string WebRequest::peekRedirect(std::string_view url, const PeekRedirectArgs& args) {
  if (busy()) return {};
  // Redirects are off for this request only: the object serves later requests that
  // expect them followed.
  const long redirects = option(platform::kOptionEnableRedirects);
  option(platform::kOptionEnableRedirects, 0);
  setTimeouts(5000, 5000, 10000, 5000);
  const bool posting = !args.postText.empty();
  const std::string_view trimmed = trimSpaces(url);
  open(posting ? "POST" : "GET", trimmed, !args.synchronous);
  setRequestHeader("User-Agent", args.userAgent.empty() ? kDefaultUserAgent : std::string_view(args.userAgent));
  setRequestHeader("Accept-Language", "zh-cn");
  setRequestHeader("Connection", "Keep-Alive");
  setRequestHeader("Accept", kPeekAccept);
  setRequestHeader("Referer", args.referer.empty() ? trimmed : std::string_view(args.referer));
  if (args.cookies) setRequestHeader("Cookie", *args.cookies);
  setHeaderLines(*this, args.headers);
  if (!args.proxy.empty()) Steps::applyProxy(*this, args.proxy);
  send(args.postText);
  if (!args.synchronous) waitForResponse(posting ? 100 : 25);
  std::string location = responseHeader("Location");
  option(platform::kOptionEnableRedirects, redirects);
  return location;
}

}  // namespace qovra::web
