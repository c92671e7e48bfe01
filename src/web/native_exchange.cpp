#include "web/native_exchange.h"

#include <charconv>

#include "platform/http_limits.h"
#include "web/http_text.h"
#include "web/web_request.h"
#include "web/web_transport.h"

namespace qovra::web {
namespace {

constexpr std::string_view kAcceptLine =
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*\r\n";

std::optional<std::uint16_t> portNumber(std::string_view digits) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

std::uint32_t timeoutOf(std::string_view digits) {
  unsigned value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

}  // namespace

std::optional<NativeTarget> nativeTargetOf(std::string_view url) {
  NativeTarget target;
  target.secure = startsWithNoCase(url, "https://");
  const std::size_t schemeEnd = url.find("://");
  std::string_view rest = schemeEnd == std::string_view::npos ? url : url.substr(schemeEnd + 3);
  const std::size_t pathAt = std::min(rest.find_first_of("/?"), rest.size());
  std::string_view authority = rest.substr(0, pathAt);
  const std::string_view path = rest.substr(pathAt);
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  const std::size_t colon = authority.rfind(':');
  const bool bracketed = !authority.empty() && authority.front() == '[';
  const bool hasPort = colon != std::string_view::npos && (!bracketed || authority[colon - 1] == ']');
  std::string_view host = hasPort ? authority.substr(0, colon) : authority;
  if (bracketed && host.size() >= 2 && host.back() == ']') host = host.substr(1, host.size() - 2);
  if (host.empty()) return std::nullopt;
  target.host = host;
  if (hasPort) {
    const auto port = portNumber(authority.substr(colon + 1));
    if (!port) return std::nullopt;
    target.port = *port;
  } else {
    target.port = target.secure ? 443 : 80;
  }
  if (!path.empty()) target.path = path.front() == '?' ? "/" + std::string(path) : std::string(path);
  return target;
}

std::string userAgentFromHeaders(std::string_view headerLines) {
  constexpr std::string_view kName = "User-Agent:";
  const std::size_t at = findNoCase(headerLines, kName);
  if (at == std::string_view::npos) return std::string(kDefaultUserAgent);
  std::string_view value = headerLines.substr(at + kName.size());
  value = value.substr(0, value.find("\r\n"));
  return std::string(trimSpaces(value));
}

std::uint32_t nativeRequestFlags(std::string_view cookies, std::string_view forbidRedirects, bool secure) {
  std::uint32_t flags = platform::kFlagReload | platform::kFlagNeedFile;
  if (!trimSpaces(cookies).empty()) flags |= platform::kFlagNoCookies;
  if (forbidRedirects != kWordFalse) flags |= platform::kFlagNoAutoRedirect;
  flags |= secure ? platform::kFlagSecure : platform::kFlagIgnoreRedirectToHttps;
  return flags;
}

std::string nativeHeaderText(std::string_view headerLines, std::string_view url, std::string_view method,
                             std::string_view body, std::string_view cookies) {
  std::string x(headerLines);
  if (!x.empty()) x += "\r\n";
  if (!containsNoCase(x, "Accept")) x += kAcceptLine;
  if (!containsNoCase(x, "Referer")) x += "Referer: " + std::string(url) + "\r\n";
  if (!containsNoCase(x, "Accept-Language")) x += "Accept-Language: zh-cn\r\n";
  if (method == "POST" && !body.empty()) {
    if (!containsNoCase(x, "Content-Type")) x += "Content-Type: application/x-www-form-urlencoded\r\n";
    if (!containsNoCase(x, "Content-Length")) x += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  }
  if (!cookies.empty()) x += "Cookie: " + std::string(cookies) + "\r\n\r\n";
  return x;
}

std::string cookiesFromRawHeaders(std::string_view rawHeaders) {
  constexpr std::string_view kName = "Set-Cookie: ";
  std::string cookies;
  while (!rawHeaders.empty()) {
    const std::size_t end = std::min(rawHeaders.find("\r\n"), rawHeaders.size());
    const std::string_view line = rawHeaders.substr(0, end);
    rawHeaders.remove_prefix(std::min(rawHeaders.size(), end + 2));
    const std::size_t at = findNoCase(line, kName);
    if (at == std::string_view::npos) continue;
    const std::string_view value = line.substr(at + kName.size());
    cookies += value.substr(0, value.find(';'));
    cookies += ';';
  }
  return cookies;
}

namespace {

// The reply body, or empty when any step fails; the raw headers of a reply that came.
void exchange(ExchangeRecord& record) {
  auto& items = record.items;
  const std::string url = items[ExchangeRecord::kUrl];
  const std::string method = items[ExchangeRecord::kMethod];
  const std::string cookies = items[ExchangeRecord::kCookies];
  items[ExchangeRecord::kReplyBody].clear();
  items[ExchangeRecord::kReplyHeaders].clear();

  const std::optional<NativeTarget> target = nativeTargetOf(url);
  if (!target) return;
  const std::string& proxy = items[ExchangeRecord::kProxy];
  const std::string proxyList = proxy.empty() || target->secure ? proxy : "http=" + proxy;
  auto session = webTransport().openSession(userAgentFromHeaders(items[ExchangeRecord::kHeaders]), proxyList);
  if (!session) return;
  const std::uint32_t timeoutMs = timeoutOf(items[ExchangeRecord::kTimeoutMs]);
  session->setTimeouts(timeoutMs, timeoutMs, timeoutMs);
  auto connection = session->connect(target->host, target->port);
  if (!connection) return;
  const std::uint32_t flags = nativeRequestFlags(cookies, items[ExchangeRecord::kForbidRedirects], target->secure);
  auto request = connection->openRequest(method, target->path, flags);
  if (!request) return;
  request->setSecurityFlags(kNativeSecurityFlags);
  if (method != "GET" && method != "POST") return;  // other verbs send nothing
  const std::string& body = items[ExchangeRecord::kBody];
  const std::string headers = nativeHeaderText(items[ExchangeRecord::kHeaders], url, method, body, cookies);
  // Without a reply there is nothing to read (some transports would give a stray line).
  if (!request->send(headers, method == "POST" ? std::string_view(body) : std::string_view())) return;
  std::string& reply = items[ExchangeRecord::kReplyBody];
  char buffer[2048];
  while (const std::size_t n = request->read(buffer, sizeof buffer)) {
    if (reply.size() + n > platform::kMaxReplyBytes) {
      reply.clear();  // an endless reply is a failure, not a partial text
      return;
    }
    reply.append(buffer, n);
  }
  items[ExchangeRecord::kReplyHeaders] = request->rawHeaders();
}

}  // namespace

void runNativeExchange(ExchangeRecord& record) {
  exchange(record);
  record.items[ExchangeRecord::kReplyCookies] = cookiesFromRawHeaders(record.items[ExchangeRecord::kReplyHeaders]);
}

}  // namespace qovra::web
