// The request-object-shaped client on libcurl. An asynchronous request runs in
// waitForResponse, bounded by its wait; a synchronous one runs in send.
#include "platform/http_request_object.h"

#include "platform/posix/curl_exchange.h"
#include "platform/request_object_base.h"

namespace qovra::platform {
namespace {

std::uint32_t limitMs(int ms) { return ms > 0 ? static_cast<std::uint32_t>(ms) : 0; }

class CurlHttpRequestObject final : public RequestObjectBase {
 public:
  void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    connectMs_ = connectMs;
    sendMs_ = sendMs;
    receiveMs_ = receiveMs;
  }

  void setProxy(int setting, std::string_view server, std::string_view) override {
    proxy_ = setting == kProxyServer ? std::string(server) : std::string();
  }

  void setCredentials(std::string_view user, std::string_view password, bool forProxy) override {
    user_ = user;
    password_ = password;
    credentialsForProxy_ = forProxy;
  }

 private:
  ExchangedReply exchange(const PlannedRequest& request, std::uint32_t totalMs) override {
    posix::CurlExchange exchange;
    exchange.method = request.method;
    exchange.url = request.url;
    exchange.headers = request.headers;
    exchange.body = request.body;
    exchange.followRedirects = request.followRedirects;
    exchange.verifyTls = request.sslIgnoreFlags == 0;
    exchange.proxy = proxy_;
    exchange.user = user_;
    exchange.password = password_;
    exchange.credentialsForProxy = credentialsForProxy_;
    exchange.connectMs = limitMs(connectMs_);
    exchange.sendIdleMs = limitMs(sendMs_);
    exchange.receiveIdleMs = limitMs(receiveMs_);
    exchange.totalMs = totalMs;
    const posix::CurlReply reply = posix::performCurlExchange(exchange);
    return {reply.ok, reply.status, reply.rawHeaders, reply.body};
  }

  int connectMs_ = 60000, sendMs_ = 30000, receiveMs_ = 30000;
  std::string proxy_, user_, password_;
  bool credentialsForProxy_ = false;
};

}  // namespace

std::shared_ptr<HttpRequestObject> createHttpRequestObject() { return std::make_shared<CurlHttpRequestObject>(); }

// The native build has no system-wide proxy setting of its own.
std::string systemProxySetting() { return {}; }

}  // namespace qovra::platform
