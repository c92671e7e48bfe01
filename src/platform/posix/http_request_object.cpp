// The request-object-shaped client on libcurl. An asynchronous request runs in
// waitForResponse, bounded by its wait; a synchronous one runs in send.
#include "platform/http_request_object.h"

#include <strings.h>

#include <algorithm>
#include <cmath>

#include "platform/http_reply.h"
#include "platform/posix/curl_exchange.h"

namespace qovra::platform {
namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::uint32_t limitMs(int ms) { return ms > 0 ? static_cast<std::uint32_t>(ms) : 0; }

class CurlHttpRequestObject final : public HttpRequestObject {
 public:
  bool open(std::string_view method, std::string_view url, bool async) override {
    exchange_ = {};
    exchange_.method = method;
    exchange_.url = url;
    exchange_.followRedirects = redirects_ != 0;
    async_ = async;
    sent_ = false;
    reply_ = {};
    opened_ = !method.empty() && !url.empty();
    return opened_;
  }

  void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    connectMs_ = connectMs;
    sendMs_ = sendMs;
    receiveMs_ = receiveMs;
  }

  bool setRequestHeader(std::string_view name, std::string_view value) override {
    if (!opened_ || name.empty()) return false;
    auto& headers = exchange_.headers;
    const auto same = [name](const auto& h) { return equalNoCase(h.first, name); };
    const auto it = std::find_if(headers.begin(), headers.end(), same);
    if (it != headers.end()) {
      it->second = value;  // a header set twice is sent once, with the last value
    } else {
      headers.emplace_back(std::string(name), std::string(value));
    }
    return true;
  }

  void setOption(int index, long value) override {
    if (index == kOptionEnableRedirects) redirects_ = value;
    if (index == kOptionSslErrorIgnoreFlags) sslIgnore_ = value;
  }

  long option(int index) const override {
    if (index == kOptionEnableRedirects) return redirects_;
    if (index == kOptionSslErrorIgnoreFlags) return sslIgnore_;
    return 0;
  }

  void setProxy(int setting, std::string_view server, std::string_view) override {
    proxy_ = setting == kProxyServer ? std::string(server) : std::string();
  }

  void setCredentials(std::string_view user, std::string_view password, bool forProxy) override {
    user_ = user;
    password_ = password;
    credentialsForProxy_ = forProxy;
  }

  bool send(std::string_view body) override {
    if (!opened_) return false;
    exchange_.body = body;
    sent_ = true;
    if (!async_) perform(0);
    return true;
  }

  bool waitForResponse(double seconds) override {
    if (async_ && sent_ && !reply_.ok) perform(seconds > 0 ? static_cast<std::uint32_t>(std::lround(seconds * 1000)) : 0);
    return reply_.ok;
  }

  int status() const override { return reply_.status; }

  std::string allResponseHeaders() const override { return headerLinesOf(reply_.rawHeaders); }

  std::string responseHeader(std::string_view name) const override {
    return headerValue(allResponseHeaders(), name);
  }

  std::string responseBody() const override { return reply_.body; }

  std::string responseText() const override {
    return bodyAsText(reply_.body, responseHeader("Content-Type"));
  }

 private:
  void perform(std::uint32_t totalMs) {
    exchange_.followRedirects = redirects_ != 0;
    exchange_.verifyTls = sslIgnore_ == 0;
    exchange_.proxy = proxy_;
    exchange_.user = user_;
    exchange_.password = password_;
    exchange_.credentialsForProxy = credentialsForProxy_;
    exchange_.connectMs = limitMs(connectMs_);
    exchange_.sendIdleMs = limitMs(sendMs_);
    exchange_.receiveIdleMs = limitMs(receiveMs_);
    exchange_.totalMs = totalMs;
    reply_ = posix::performCurlExchange(exchange_);
  }

  posix::CurlExchange exchange_;
  posix::CurlReply reply_;
  bool opened_ = false, async_ = false, sent_ = false;
  long redirects_ = 1, sslIgnore_ = 0;
  int connectMs_ = 60000, sendMs_ = 30000, receiveMs_ = 30000;
  std::string proxy_, user_, password_;
  bool credentialsForProxy_ = false;
};

}  // namespace

std::shared_ptr<HttpRequestObject> createHttpRequestObject() { return std::make_shared<CurlHttpRequestObject>(); }

// The native build has no system-wide proxy setting of its own.
std::string systemProxySetting() { return {}; }

}  // namespace qovra::platform
