// The worker half of fetchTextNative: one session-shaped exchange driven by an
// ExchangeRecord, and the rules it follows (target, flags, header text, reply cookies),
// each on its own so it can be checked without a server.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "web/exchange_record.h"

namespace qovra::web {

// What the exchange connects to.
struct NativeTarget {
  bool secure = false;
  std::string host;
  std::uint16_t port = 80;
  std::string path = "/";  // with the query
};

// nullopt when the URL names no host or a port outside 1..65535. An explicit port is
// kept for "https://" too; without one a secure URL uses 443.
std::optional<NativeTarget> nativeTargetOf(std::string_view url);

// The value of a "User-Agent:" line of the header lines, else the box's default.
std::string userAgentFromHeaders(std::string_view headerLines);

// Ignore revocation, unknown CA, wrong usage, invalid name and date, redirects both ways,
// and 0x10000.
inline constexpr std::uint32_t kNativeSecurityFlags = 0x1F380u;

std::uint32_t nativeRequestFlags(std::string_view cookies, std::string_view forbidRedirects, bool secure);

// The header text sent: the caller's lines, the default Accept, Referer and
// Accept-Language lines where the caller has none, the body's type and length for a
// non-empty body, and the cookie line.
std::string nativeHeaderText(std::string_view headerLines, std::string_view url, std::string_view method,
                             std::string_view body, std::string_view cookies);

// "name=value;" for every Set-Cookie line of raw reply headers, concatenated.
std::string cookiesFromRawHeaders(std::string_view rawHeaders);

// Runs the exchange the record asks for and writes the reply into it.
void runNativeExchange(ExchangeRecord& record);

}  // namespace qovra::web
