// A session-shaped HTTP client (the shape of WinInet): open a session with a user agent and
// a proxy, connect to a host and port, open a request with a verb, path and flags, send it
// with a header text and a body, then read the body and the raw headers. The request
// flags and security flags carry WinInet's values; which ones to use is the caller's
// business, each backend only honours them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qovra::platform {

// Request flags.
inline constexpr std::uint32_t kFlagReload = 0x80000000u;          // never from a cache
inline constexpr std::uint32_t kFlagNeedFile = 0x10u;
inline constexpr std::uint32_t kFlagNoCookies = 0x80000u;          // no cookie store
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x200000u;    // return a redirect as it is
inline constexpr std::uint32_t kFlagSecure = 0x800000u;            // TLS
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x4000u;

// Security flags: certificate faults to overlook.
inline constexpr std::uint32_t kSecurityIgnoreRevocation = 0x80u;
inline constexpr std::uint32_t kSecurityIgnoreUnknownCa = 0x100u;
inline constexpr std::uint32_t kSecurityIgnoreWrongUsage = 0x200u;
inline constexpr std::uint32_t kSecurityIgnoreCertCnInvalid = 0x1000u;
inline constexpr std::uint32_t kSecurityIgnoreCertDateInvalid = 0x2000u;
inline constexpr std::uint32_t kSecurityIgnoreRedirectToHttps = 0x4000u;
inline constexpr std::uint32_t kSecurityIgnoreRedirectToHttp = 0x8000u;

class InternetRequest {
 public:
  virtual ~InternetRequest() = default;
  virtual bool setSecurityFlags(std::uint32_t flags) = 0;
  // `headers`: lines, each ending "\r\n"; empty lines are skipped. The body goes as it
  // is. False when no reply arrived (no connection, a time-out, a refused header text).
  virtual bool send(std::string_view headers, std::string_view body) = 0;
  // Up to `size` bytes of the reply body; 0 at its end.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
  // The status line and the header lines of the reply, each ending "\r\n", then an empty
  // line; empty before a reply.
  virtual std::string rawHeaders() const = 0;
};

class InternetConnection {
 public:
  virtual ~InternetConnection() = default;
  // An HTTP/1.1 request; `path` holds the query too. Null when it cannot be made.
  virtual std::unique_ptr<InternetRequest> openRequest(std::string_view verb, std::string_view path,
                                                       std::uint32_t flags) = 0;
};

class InternetSession {
 public:
  virtual ~InternetSession() = default;
  virtual void setTimeouts(std::uint32_t connectMs, std::uint32_t sendMs, std::uint32_t receiveMs) = 0;
  virtual std::unique_ptr<InternetConnection> connect(std::string_view host, std::uint16_t port) = 0;
};

// `proxy` empty: direct. Otherwise a proxy list as WinInet takes it: "host:port" for every
// scheme, or entries like "http=host:port" separated by spaces or ";". Null on failure.
std::unique_ptr<InternetSession> openInternetSession(std::string_view agent, std::string_view proxy);

}  // namespace qovra::platform
