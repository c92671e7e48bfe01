// fetchTextNative, the window thread's side: it prepares the ExchangeRecord, runs the
// exchange on a worker while the window keeps handling messages, and decodes the reply.
#include <algorithm>
#include <cmath>

#include "platform/toolkit.h"
#include "platform/worker.h"
#include "web/http_text.h"
#include "web/native_exchange.h"
#include "web/reply_decoding.h"
#include "web/web_request.h"

namespace qovra::web {
namespace {

constexpr std::string_view kUtf8Charsets = "charset=utf-8|charset=''utf-8''|charset='utf-8'";

struct NativeReply {
  std::string body, cookies, headers;
};

// The threaded exchange. Nothing but the serialised record passes between the threads,
// and the window thread leaves it alone until the worker has ended.
NativeReply threadedExchange(std::string_view url, std::string_view method, std::string_view proxy,
                             std::string_view headers, std::string_view body, std::string_view cookies,
                             int timeoutSeconds) {
  const std::string_view trimmed = trimSpaces(url);
  if (trimmed.empty()) return {};
  ExchangeRecord record;
  record.items = {withScheme(trimmed), std::string(method), std::string(proxy), std::string(headers),
                  std::string(body), std::string(cookies), std::string(kWordFalse),
                  std::to_string(timeoutSeconds <= 0 ? 60000 : timeoutSeconds * 1000)};
  std::string stream = serialiseExchangeRecord(record);
  {
    platform::Worker worker([&stream] {
      ExchangeRecord work = parseExchangeRecord(stream).value_or(ExchangeRecord{});
      runNativeExchange(work);
      stream = serialiseExchangeRecord(work);
    });
    ui::toolkit().waitForWorker(worker);
  }
  const std::optional<ExchangeRecord> reply = parseExchangeRecord(stream);
  if (!reply) return {};
  return {reply->items[ExchangeRecord::kReplyBody], reply->items[ExchangeRecord::kReplyCookies],
          reply->items[ExchangeRecord::kReplyHeaders]};
}

int timeoutSecondsOf(double requested) {
  const double seconds = std::fabs(requested) > 1e-7 ? requested : 120;
  return static_cast<int>(std::clamp(std::trunc(seconds), -1e6, 1e6));
}

}  // namespace

std::string fetchTextNative(std::string_view url) {
  NativeFetchArgs args;
  return fetchTextNative(url, args);
}

std::string fetchTextNative(std::string_view url, NativeFetchArgs& args) {
  url = withoutFragment(url);
  std::string headers = args.headers;
  if (args.addRandomIpHeaders) headers += (headers.empty() ? "" : "\r\n") + randomIpHeaders();
  const std::string& body = args.postBytes.empty() ? args.postText : args.postBytes;
  const std::string method = body.empty() ? "GET" : "POST";
  const std::string referer = args.referer.empty() ? std::string(trimSpaces(url)) : args.referer;
  headers += "\r\nReferer: " + referer;

  NativeReply reply = threadedExchange(url, method, args.proxy, headers, body, args.cookies,
                                       timeoutSecondsOf(args.timeoutSeconds));
  args.replyHeaders = std::move(reply.headers);
  args.replyCookies = std::move(reply.cookies);
  args.replyBytes = reply.body;
  if (args.encoding == kEncodingDetect && containsAnyOf(args.replyHeaders, kUtf8Charsets)) args.encoding = kEncodingUtf8;
  return decodeReplyText(reply.body, args.encoding).text;
}

}  // namespace qovra::web
