// The request-object-shaped client on the WinHTTP API (W functions). The object keeps
// what open, the headers, options, proxy and time-outs set, and runs the exchange in send
// (synchronous) or in waitForResponse (asynchronous). The session's own cookie store is
// off: the box sends exactly the cookies it names. The wait of an asynchronous request
// caps each of the exchange's time-outs, so a silent server is given up on within it.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/http_limits.h"
#include "platform/http_request_object.h"
#include "platform/request_object_base.h"
#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

using win32::narrowText;
using win32::wideText;

class WinHttpHandle {
 public:
  explicit WinHttpHandle(HINTERNET handle) : handle_(handle) {}
  ~WinHttpHandle() {
    if (handle_) WinHttpCloseHandle(handle_);
  }
  WinHttpHandle(const WinHttpHandle&) = delete;
  WinHttpHandle& operator=(const WinHttpHandle&) = delete;
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

struct Exchange {
  std::wstring method, url;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  bool followRedirects = true;
  DWORD ignoredCertificateFaults = 0;
  std::wstring proxy, bypass;
  std::wstring user, password;
  bool credentialsForProxy = false;
  int resolveMs = 0, connectMs = 60000, sendMs = 30000, receiveMs = 30000;
};

struct UrlParts {
  std::wstring host, path;
  INTERNET_PORT port = 0;
  bool secure = false;
};

bool crackUrl(const std::wstring& url, UrlParts& parts) {
  URL_COMPONENTS c{};
  c.dwStructSize = sizeof c;
  c.dwHostNameLength = c.dwUrlPathLength = c.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &c) || c.dwHostNameLength == 0) return false;
  parts.host.assign(c.lpszHostName, c.dwHostNameLength);
  parts.path.assign(c.lpszUrlPath, c.dwUrlPathLength);
  parts.path.append(c.lpszExtraInfo, c.dwExtraInfoLength);
  if (parts.path.empty() || parts.path[0] != L'/') parts.path.insert(0, L"/");
  parts.port = c.nPort;
  parts.secure = c.nScheme == INTERNET_SCHEME_HTTPS;
  return true;
}

int capped(int ms, int capMs) { return capMs <= 0 ? ms : (ms <= 0 ? capMs : std::min(ms, capMs)); }

void setDword(HINTERNET handle, DWORD option, DWORD value) { WinHttpSetOption(handle, option, &value, sizeof value); }

void setText(HINTERNET handle, DWORD option, const std::wstring& text) {
  WinHttpSetOption(handle, option, const_cast<wchar_t*>(text.c_str()), static_cast<DWORD>(text.size()));
}

void configureRequest(HINTERNET request, const Exchange& e, int receiveMs) {
  // The wait for the reply's headers has a limit of its own, which the receive time-out
  // does not always set.
  if (receiveMs > 0) setDword(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, static_cast<DWORD>(receiveMs));
  DWORD features = WINHTTP_DISABLE_COOKIES;
  if (!e.followRedirects) features |= WINHTTP_DISABLE_REDIRECTS;
  setDword(request, WINHTTP_OPTION_DISABLE_FEATURE, features);
  if (e.ignoredCertificateFaults) setDword(request, WINHTTP_OPTION_SECURITY_FLAGS, e.ignoredCertificateFaults);
  if (!e.user.empty() || !e.password.empty()) {
    setText(request, e.credentialsForProxy ? WINHTTP_OPTION_PROXY_USERNAME : WINHTTP_OPTION_USERNAME, e.user);
    setText(request, e.credentialsForProxy ? WINHTTP_OPTION_PROXY_PASSWORD : WINHTTP_OPTION_PASSWORD, e.password);
  }
  for (const auto& [name, value] : e.headers) {
    const std::wstring line = wideText(name + ": " + value);
    WinHttpAddRequestHeaders(request, line.c_str(), static_cast<DWORD>(line.size()), WINHTTP_ADDREQ_FLAG_ADD);
  }
}

std::string rawHeadersOf(HINTERNET request) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
  std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1);
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  return narrowText(std::wstring_view(text.data(), bytes / sizeof(wchar_t)));
}

int statusOf(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                      &status, &size, WINHTTP_NO_HEADER_INDEX);
  return static_cast<int>(status);
}

bool readBody(HINTERNET request, std::string& body) {
  char buffer[8192];
  for (;;) {
    DWORD got = 0;
    if (!WinHttpReadData(request, buffer, sizeof buffer, &got)) return false;
    if (got == 0) return true;
    if (body.size() + got > kMaxReplyBytes) return false;
    body.append(buffer, got);
  }
}

ExchangedReply perform(const Exchange& e, int capMs) {
  ExchangedReply reply;
  UrlParts url;
  if (!crackUrl(e.url, url)) return reply;
  WinHttpHandle session(e.proxy.empty()
                            ? WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                          WINHTTP_NO_PROXY_BYPASS, 0)
                            : WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY, e.proxy.c_str(),
                                          e.bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : e.bypass.c_str(), 0));
  if (!session) return reply;
  const int receiveMs = capped(e.receiveMs, capMs);
  WinHttpSetTimeouts(session.get(), capped(e.resolveMs, capMs), capped(e.connectMs, capMs), capped(e.sendMs, capMs),
                     receiveMs);
  WinHttpHandle connection(WinHttpConnect(session.get(), url.host.c_str(), url.port, 0));
  if (!connection) return reply;
  WinHttpHandle request(WinHttpOpenRequest(connection.get(), e.method.c_str(), url.path.c_str(), nullptr,
                                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           url.secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return reply;
  configureRequest(request.get(), e, receiveMs);
  void* body = e.body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(e.body.data());
  const DWORD size = static_cast<DWORD>(e.body.size());
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, body, size, size, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return reply;
  }
  reply.rawHeaders = rawHeadersOf(request.get());
  reply.status = statusOf(request.get());
  reply.ok = readBody(request.get(), reply.body);
  if (!reply.ok) reply = {};
  return reply;
}

class WinHttpRequestObject final : public RequestObjectBase {
 public:
  void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    settings_.resolveMs = resolveMs;
    settings_.connectMs = connectMs;
    settings_.sendMs = sendMs;
    settings_.receiveMs = receiveMs;
  }

  void setProxy(int setting, std::string_view server, std::string_view bypass) override {
    settings_.proxy = setting == kProxyServer ? wideText(server) : std::wstring();
    settings_.bypass = setting == kProxyServer ? wideText(bypass) : std::wstring();
  }

  void setCredentials(std::string_view user, std::string_view password, bool forProxy) override {
    settings_.user = wideText(user);
    settings_.password = wideText(password);
    settings_.credentialsForProxy = forProxy;
  }

 private:
  ExchangedReply exchange(const PlannedRequest& request, std::uint32_t limitMs) override {
    Exchange e = settings_;
    e.method = wideText(request.method);
    e.url = wideText(request.url);
    e.headers = request.headers;
    e.body = request.body;
    e.followRedirects = request.followRedirects;
    e.ignoredCertificateFaults = static_cast<DWORD>(request.sslIgnoreFlags);
    return perform(e, static_cast<int>(std::min<std::uint32_t>(limitMs, 2'000'000'000)));
  }

  Exchange settings_;  // what stays from one request to the next: time-outs, proxy, credentials
};

}  // namespace

std::shared_ptr<HttpRequestObject> createHttpRequestObject() { return std::make_shared<WinHttpRequestObject>(); }

std::string systemProxySetting() {
  wchar_t value[1024];
  DWORD bytes = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                   L"ProxyServer", RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS) {
    return {};
  }
  return narrowText(value);
}

}  // namespace qovra::platform
