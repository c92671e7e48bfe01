#include "platform/request_object_base.h"

#include <algorithm>
#include <cmath>

#include "platform/http_reply.h"

namespace qovra::platform {
namespace {

// Header names are ASCII tokens.
bool equalNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace

bool RequestObjectBase::open(std::string_view method, std::string_view url, bool async) {
  request_ = PlannedRequest{};
  request_.method = method;
  request_.url = url;
  async_ = async;
  sent_ = false;
  reply_ = {};
  opened_ = !method.empty() && !url.empty();
  return opened_;
}

bool RequestObjectBase::setRequestHeader(std::string_view name, std::string_view value) {
  if (!opened_ || name.empty()) return false;
  auto& headers = request_.headers;
  const auto it = std::find_if(headers.begin(), headers.end(), [name](const auto& h) { return equalNoCase(h.first, name); });
  if (it != headers.end())
    it->second = value;
  else
    headers.emplace_back(std::string(name), std::string(value));
  return true;
}

void RequestObjectBase::setOption(int index, long value) {
  if (index == kOptionEnableRedirects) redirects_ = value;
  if (index == kOptionSslErrorIgnoreFlags) sslIgnore_ = value;
}

long RequestObjectBase::option(int index) const {
  if (index == kOptionEnableRedirects) return redirects_;
  if (index == kOptionSslErrorIgnoreFlags) return sslIgnore_;
  return 0;
}

bool RequestObjectBase::send(std::string_view body) {
  if (!opened_) return false;
  request_.body = body;
  sent_ = true;
  if (!async_) run(0);
  return true;
}

bool RequestObjectBase::waitForResponse(double seconds) {
  if (async_ && sent_ && !reply_.ok)
    run(seconds > 0 ? static_cast<std::uint32_t>(std::lround(std::min(seconds * 1000, 2e9))) : 0);
  return reply_.ok;
}

int RequestObjectBase::status() const { return reply_.status; }
std::string RequestObjectBase::allResponseHeaders() const { return headerLinesOf(reply_.rawHeaders); }
std::string RequestObjectBase::responseHeader(std::string_view name) const {
  return headerValue(allResponseHeaders(), name);
}
std::string RequestObjectBase::responseBody() const { return reply_.body; }
std::string RequestObjectBase::responseText() const {
  return bodyAsText(reply_.body, responseHeader("Content-Type"));
}

void RequestObjectBase::run(std::uint32_t limitMs) {
  // The options count as they stand when the request goes out.
  request_.followRedirects = redirects_ != 0;
  request_.sslIgnoreFlags = sslIgnore_;
  reply_ = exchange(request_, limitMs);
}

}  // namespace qovra::platform
