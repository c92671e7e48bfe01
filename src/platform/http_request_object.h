// A request-object-shaped HTTP client (the shape of WinHttpRequest): open a method and
// URL, set headers, options, a proxy and time-outs, send, wait, then read the status, the
// headers and the body. State lives in the object from open to the reading of the reply;
// a new open starts afresh (cookies are never stored by the object).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qovra::platform {

// Option indexes, with the request object's numbers.
inline constexpr int kOptionSslErrorIgnoreFlags = 4;  // 0: certificate faults fail the request
inline constexpr int kOptionEnableRedirects = 6;      // non-zero: follow redirects (the default)

// Proxy settings of setProxy.
inline constexpr int kProxyDefault = 0;  // the object's own: direct
inline constexpr int kProxyDirect = 1;
inline constexpr int kProxyServer = 2;

class HttpRequestObject {
 public:
  virtual ~HttpRequestObject() = default;

  // `async`: send only starts the request and waitForResponse completes it; otherwise
  // send completes it. False when the URL cannot be used.
  virtual bool open(std::string_view method, std::string_view url, bool async) = 0;
  // Milliseconds; 0 means no limit. The object starts with 0, 60000, 30000, 30000.
  virtual void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) = 0;
  // An empty value sends the header with an empty value.
  virtual bool setRequestHeader(std::string_view name, std::string_view value) = 0;
  virtual void setOption(int index, long value) = 0;
  virtual long option(int index) const = 0;
  virtual void setProxy(int setting, std::string_view server, std::string_view bypass) = 0;
  virtual void setCredentials(std::string_view user, std::string_view password, bool forProxy) = 0;
  // Without a body when `body` is empty.
  virtual bool send(std::string_view body) = 0;
  // For an asynchronous request: waits at most `seconds` for the whole reply; a reply
  // not complete by then is dropped. True when a reply is there.
  virtual bool waitForResponse(double seconds) = 0;

  // The reply; 0 and empty texts while there is none.
  virtual int status() const = 0;
  // Header lines "Name: value\r\n" in the order received, without the status line.
  virtual std::string allResponseHeaders() const = 0;
  // The first header of that name (any case); empty when absent.
  virtual std::string responseHeader(std::string_view name) const = 0;
  virtual std::string responseBody() const = 0;
  // The body as text (UTF-8), decoded by the charset its Content-Type names, else as UTF-8.
  virtual std::string responseText() const = 0;
};

// Null when the platform cannot make one.
std::shared_ptr<HttpRequestObject> createHttpRequestObject();

// The proxy the user set for the system ("IE"), as "host:port" or a per-scheme list;
// empty when none.
std::string systemProxySetting();

}  // namespace qovra::platform
