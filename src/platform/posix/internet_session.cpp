// The session-shaped client on libcurl. A request runs whole in send(); read() then hands
// out the body it kept.
#include "platform/internet_session.h"

#include <algorithm>
#include <cstring>

#include "platform/posix/curl_exchange.h"

namespace qovra::platform {
namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// "Name: value" lines; a line without a name and colon is not a header and is left out.
std::vector<std::pair<std::string, std::string>> parseHeaderText(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> headers;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find("\r\n"), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(text.size(), end + 2));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = trimmed(line.substr(0, colon));
    if (name.empty()) continue;
    headers.emplace_back(std::string(name), std::string(trimmed(line.substr(colon + 1))));
  }
  return headers;
}

// WinInet's proxy list: "host:port", or "scheme=host:port" entries; the entry for the
// request's scheme wins, a plain entry serves every scheme.
std::string proxyFor(std::string_view list, std::string_view scheme) {
  std::string plain;
  while (!list.empty()) {
    const std::size_t end = std::min(list.find_first_of(" ;"), list.size());
    const std::string_view entry = list.substr(0, end);
    list.remove_prefix(std::min(list.size(), end + 1));
    const std::size_t eq = entry.find('=');
    if (eq == std::string_view::npos) {
      if (plain.empty()) plain = entry;
    } else if (entry.substr(0, eq) == scheme) {
      return std::string(entry.substr(eq + 1));
    }
  }
  return plain;
}

struct SessionSettings {
  std::string agent, proxy;
  std::uint32_t connectMs = 0, sendMs = 0, receiveMs = 0;
};

class CurlInternetRequest final : public InternetRequest {
 public:
  CurlInternetRequest(const SessionSettings& session, std::string host, std::uint16_t port,
                      std::string_view verb, std::string_view path, std::uint32_t flags)
      : session_(session), host_(std::move(host)), port_(port), verb_(verb), path_(path), flags_(flags) {}

  bool setSecurityFlags(std::uint32_t flags) override {
    security_ = flags;
    return true;
  }

  bool send(std::string_view headers, std::string_view body) override {
    const bool secure = (flags_ & kFlagSecure) != 0;
    posix::CurlExchange e;
    e.method = verb_;
    e.url = std::string(secure ? "https://" : "http://") + hostForUrl() + ":" + std::to_string(port_) + path_;
    e.headers = parseHeaderText(headers);
    e.userAgent = session_.agent;
    e.body = body;
    e.followRedirects = (flags_ & kFlagNoAutoRedirect) == 0;
    e.verifyTls = (security_ & kSecurityIgnoreUnknownCa) == 0;
    e.proxy = proxyFor(session_.proxy, secure ? "https" : "http");
    e.connectMs = session_.connectMs;
    e.sendIdleMs = session_.sendMs;
    e.receiveIdleMs = session_.receiveMs;
    reply_ = posix::performCurlExchange(e);
    readAt_ = 0;
    return reply_.ok;
  }

  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, reply_.body.size() - readAt_);
    std::memcpy(buffer, reply_.body.data() + readAt_, n);
    readAt_ += n;
    return n;
  }

  std::string rawHeaders() const override { return reply_.rawHeaders; }

 private:
  std::string hostForUrl() const {
    return host_.find(':') != std::string::npos ? "[" + host_ + "]" : host_;
  }

  SessionSettings session_;
  std::string host_;
  std::uint16_t port_;
  std::string verb_, path_;
  std::uint32_t flags_;
  std::uint32_t security_ = 0;
  posix::CurlReply reply_;
  std::size_t readAt_ = 0;
};

class CurlInternetConnection final : public InternetConnection {
 public:
  CurlInternetConnection(const SessionSettings& session, std::string_view host, std::uint16_t port)
      : session_(session), host_(host), port_(port) {}

  std::unique_ptr<InternetRequest> openRequest(std::string_view verb, std::string_view path,
                                               std::uint32_t flags) override {
    if (verb.empty()) return nullptr;
    const std::string_view usedPath = path.empty() ? std::string_view("/") : path;
    return std::make_unique<CurlInternetRequest>(session_, host_, port_, verb, usedPath, flags);
  }

 private:
  SessionSettings session_;
  std::string host_;
  std::uint16_t port_;
};

class CurlInternetSession final : public InternetSession {
 public:
  CurlInternetSession(std::string_view agent, std::string_view proxy) {
    settings_.agent = agent;
    settings_.proxy = proxy;
  }

  void setTimeouts(std::uint32_t connectMs, std::uint32_t sendMs, std::uint32_t receiveMs) override {
    settings_.connectMs = connectMs;
    settings_.sendMs = sendMs;
    settings_.receiveMs = receiveMs;
  }

  std::unique_ptr<InternetConnection> connect(std::string_view host, std::uint16_t port) override {
    // Characters that would change the meaning of the URL the request is built into.
    if (host.empty() || host.find_first_of("/?#@ \r\n") != std::string_view::npos) return nullptr;
    return std::make_unique<CurlInternetConnection>(settings_, host, port);
  }

 private:
  SessionSettings settings_;
};

}  // namespace

std::unique_ptr<InternetSession> openInternetSession(std::string_view agent, std::string_view proxy) {
  return std::make_unique<CurlInternetSession>(agent, proxy);
}

}  // namespace qovra::platform
