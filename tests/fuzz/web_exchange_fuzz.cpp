// The native request path's worker on hostile input: arbitrary bytes as the stream
// between the threads, as the URL, header lines and cookies it is asked to send, and as
// the reply a server gives. Nothing may crash, and what must hold is checked.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "platform/http_reply.h"
#include "platform/internet_session.h"
#include "web/exchange_record.h"
#include "web/native_exchange.h"
#include "web/web_transport.h"

namespace {

using namespace qovra;

void require(bool condition) {
  if (!condition) std::abort();
}

// A server whose reply is the fuzzer's bytes.
struct Canned {
  std::string rawHeaders, body;
};

class CannedRequest : public platform::InternetRequest {
 public:
  explicit CannedRequest(const Canned& reply) : reply_(reply) {}
  bool setSecurityFlags(std::uint32_t) override { return true; }
  bool send(std::string_view, std::string_view) override { return true; }
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min<std::size_t>({size, reply_.body.size() - at_, 777});
    reply_.body.copy(buffer, n, at_);
    at_ += n;
    return n;
  }
  std::string rawHeaders() const override { return reply_.rawHeaders; }

 private:
  Canned reply_;
  std::size_t at_ = 0;
};

class CannedConnection : public platform::InternetConnection {
 public:
  explicit CannedConnection(const Canned& reply) : reply_(reply) {}
  std::unique_ptr<platform::InternetRequest> openRequest(std::string_view, std::string_view, std::uint32_t) override {
    return std::make_unique<CannedRequest>(reply_);
  }

 private:
  Canned reply_;
};

class CannedSession : public platform::InternetSession {
 public:
  explicit CannedSession(const Canned& reply) : reply_(reply) {}
  void setTimeouts(std::uint32_t, std::uint32_t, std::uint32_t) override {}
  std::unique_ptr<platform::InternetConnection> connect(std::string_view, std::uint16_t) override {
    return std::make_unique<CannedConnection>(reply_);
  }

 private:
  Canned reply_;
};

// The input cut at its first two "\n\n" separators into request, reply headers and body.
std::string_view piece(std::string_view& rest) {
  const std::size_t at = rest.find("\n\n");
  const std::string_view taken = rest.substr(0, at);
  rest.remove_prefix(at == std::string_view::npos ? rest.size() : at + 2);
  return taken;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // The stream: what parses serialises back to a stream that parses the same.
  if (const auto record = web::parseExchangeRecord(input)) {
    const auto again = web::parseExchangeRecord(web::serialiseExchangeRecord(*record));
    require(again && again->items == record->items);
  }

  std::string_view rest = input;
  const std::string_view request = piece(rest);
  Canned reply;
  reply.rawHeaders = piece(rest);
  reply.body = rest;

  if (const auto target = web::nativeTargetOf(request)) {
    require(!target->host.empty() && target->port != 0 && !target->path.empty() && target->path[0] == '/');
  }
  const std::string headers = web::nativeHeaderText(request, "http://h/", "POST", request, request);
  require(headers.size() >= 2 && headers.compare(headers.size() - 2, 2, "\r\n") == 0);
  const std::string cookies = web::cookiesFromRawHeaders(reply.rawHeaders);
  require(cookies.empty() || cookies.back() == ';');
  platform::headerValue(platform::headerLinesOf(reply.rawHeaders), request);

  // The whole worker against that reply.
  web::webTransport().openSession = [&reply](std::string_view, std::string_view) {
    return std::make_unique<CannedSession>(reply);
  };
  web::ExchangeRecord record;
  record.items = {"http://h/x", "GET", "", std::string(request), "", std::string(request), "假", "1000"};
  web::runNativeExchange(record);
  require(record.items[web::ExchangeRecord::kReplyBody] == reply.body);
  require(record.items[web::ExchangeRecord::kReplyCookies] == cookies);
  require(record.items[web::ExchangeRecord::kReplyHeaders] == reply.rawHeaders);
  return 0;
}
