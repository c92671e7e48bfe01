// The request-object-shaped client on libcurl. An asynchronous request runs in
// waitForResponse, bounded by its wait; a synchronous one runs in send.
#include "platform/http_request_object.h"

#include <strings.h>

#include <algorithm>
#include <cmath>

#include "platform/charset.h"
#include "platform/posix/curl_exchange.h"

namespace qovra::platform {
namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return out;
}

// The charset a Content-Type value names, as the box's converter knows it.
Charset charsetOf(std::string_view contentType) {
  const std::string type = lowered(contentType);
  const std::size_t at = type.find("charset=");
  if (at == std::string::npos) return Charset::Utf8;
  std::string name = type.substr(at + 8);
  name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == '"' || c == '\''; }), name.end());
  name = name.substr(0, name.find_first_of("; "));
  if (name == "gbk" || name == "gb2312" || name == "gb18030") return Charset::Gbk;
  if (name == "big5") return Charset::Big5;
  if (name == "big5-hkscs") return Charset::Big5Hkscs;
  if (name == "utf-16" || name == "utf-16le") return Charset::Utf16LE;
  if (name == "utf-16be") return Charset::Utf16BE;
  return Charset::Utf8;
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

  std::string allResponseHeaders() const override {
    const std::string& raw = reply_.rawHeaders;
    const std::size_t start = raw.find("\r\n");
    if (start == std::string::npos) return {};
    std::string lines = raw.substr(start + 2);
    while (lines.size() >= 4 && lines.compare(lines.size() - 4, 4, "\r\n\r\n") == 0) lines.resize(lines.size() - 2);
    return lines == "\r\n" ? std::string() : lines;
  }

  std::string responseHeader(std::string_view name) const override {
    const std::string all = allResponseHeaders();
    std::string_view rest = all;
    while (!rest.empty()) {
      const std::size_t end = std::min(rest.find("\r\n"), rest.size());
      const std::string_view line = rest.substr(0, end);
      rest.remove_prefix(std::min(rest.size(), end + 2));
      const std::size_t colon = line.find(':');
      if (colon == std::string_view::npos || !equalNoCase(line.substr(0, colon), name)) continue;
      std::string_view value = line.substr(colon + 1);
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      return std::string(value);
    }
    return {};
  }

  std::string responseBody() const override { return reply_.body; }

  std::string responseText() const override {
    return toUtf8(reply_.body, charsetOf(responseHeader("Content-Type")));
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
