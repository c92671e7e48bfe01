// The session-shaped client on WinInet (W functions).
#include <windows.h>
#include <wininet.h>

#include <utility>
#include <vector>

#include "platform/internet_session.h"
#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

using win32::narrowText;
using win32::wideText;

// One WinInet handle, closed with its owner.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return handle_; }

 private:
  HINTERNET handle_;
};

struct Timeouts {
  DWORD connectMs = 0, sendMs = 0, receiveMs = 0;
};

// The time-outs go on every handle: some WinInet versions take them only from the handle
// a call is made on, not from the session it came from.
void applyTimeouts(HINTERNET handle, const Timeouts& t) {
  const std::pair<DWORD, DWORD> options[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, t.connectMs},
                                             {INTERNET_OPTION_SEND_TIMEOUT, t.sendMs},
                                             {INTERNET_OPTION_RECEIVE_TIMEOUT, t.receiveMs}};
  for (auto [option, value] : options) {
    if (value != 0) InternetSetOptionW(handle, option, &value, sizeof value);
  }
}

class WinInetRequest final : public InternetRequest {
 public:
  WinInetRequest(HINTERNET handle, const Timeouts& timeouts) : handle_(handle) { applyTimeouts(handle, timeouts); }

  bool setSecurityFlags(std::uint32_t flags) override {
    DWORD value = flags;
    return InternetSetOptionW(handle_.get(), INTERNET_OPTION_SECURITY_FLAGS, &value, sizeof value) != FALSE;
  }

  bool send(std::string_view headers, std::string_view body) override {
    const std::wstring wide = wideText(headers);
    void* data = body.empty() ? nullptr : const_cast<char*>(body.data());
    return HttpSendRequestW(handle_.get(), wide.empty() ? nullptr : wide.c_str(), static_cast<DWORD>(wide.size()),
                            data, static_cast<DWORD>(body.size())) != FALSE;
  }

  std::size_t read(char* buffer, std::size_t size) override {
    DWORD got = 0;
    if (!InternetReadFile(handle_.get(), buffer, static_cast<DWORD>(size), &got)) return 0;
    return got;
  }

  // The whole header block, however long: a first query learns its size.
  std::string rawHeaders() const override {
    DWORD bytes = 0;
    HttpQueryInfoW(handle_.get(), HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &bytes, nullptr);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1);
    if (!HttpQueryInfoW(handle_.get(), HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &bytes, nullptr)) return {};
    return narrowText(std::wstring_view(text.data(), bytes / sizeof(wchar_t)));
  }

 private:
  InternetHandle handle_;
};

class WinInetConnection final : public InternetConnection {
 public:
  WinInetConnection(HINTERNET handle, const Timeouts& timeouts) : handle_(handle), timeouts_(timeouts) {
    applyTimeouts(handle, timeouts);
  }

  std::unique_ptr<InternetRequest> openRequest(std::string_view verb, std::string_view path,
                                               std::uint32_t flags) override {
    HINTERNET request = HttpOpenRequestW(handle_.get(), wideText(verb).c_str(), wideText(path).c_str(), L"HTTP/1.1",
                                         nullptr, nullptr, flags, 0);
    return request ? std::make_unique<WinInetRequest>(request, timeouts_) : nullptr;
  }

 private:
  InternetHandle handle_;
  Timeouts timeouts_;
};

class WinInetSession final : public InternetSession {
 public:
  explicit WinInetSession(HINTERNET handle) : handle_(handle) {}

  void setTimeouts(std::uint32_t connectMs, std::uint32_t sendMs, std::uint32_t receiveMs) override {
    timeouts_ = {connectMs, sendMs, receiveMs};
    applyTimeouts(handle_.get(), timeouts_);
  }

  std::unique_ptr<InternetConnection> connect(std::string_view host, std::uint16_t port) override {
    HINTERNET connection = InternetConnectW(handle_.get(), wideText(host).c_str(), port, L"", L"",
                                            INTERNET_SERVICE_HTTP, 0, 0);
    return connection ? std::make_unique<WinInetConnection>(connection, timeouts_) : nullptr;
  }

 private:
  InternetHandle handle_;
  Timeouts timeouts_;
};

}  // namespace

std::unique_ptr<InternetSession> openInternetSession(std::string_view agent, std::string_view proxy) {
  const std::wstring wideAgent = wideText(agent);
  const std::wstring wideProxy = wideText(proxy);
  HINTERNET session =
      proxy.empty() ? InternetOpenW(wideAgent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)
                    : InternetOpenW(wideAgent.c_str(), INTERNET_OPEN_TYPE_PROXY, wideProxy.c_str(), nullptr, 0);
  return session ? std::make_unique<WinInetSession>(session) : nullptr;
}

}  // namespace qovra::platform
