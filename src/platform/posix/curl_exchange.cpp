#include "platform/posix/curl_exchange.h"

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <mutex>

#include "platform/http_limits.h"

namespace qovra::platform::posix {
namespace {

std::uint64_t steadyMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

struct Transfer {
  const CurlExchange* exchange = nullptr;
  CurlReply reply;
  bool tooLarge = false;
  // Progress watch for the idle limits: the last time a byte moved either way.
  std::uint64_t lastMoveMs = 0;
  curl_off_t lastUp = 0, lastDown = 0;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (t.reply.body.size() + n > kMaxReplyBytes) {
    t.tooLarge = true;
    return 0;
  }
  t.reply.body.append(data, n);
  return n;
}

// Keeps only the last reply's headers: a redirect or an interim "100" reply starts over.
std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  std::string_view line(data, n);
  if (line.rfind("HTTP/", 0) == 0) t.reply.rawHeaders.clear();
  if (t.reply.rawHeaders.size() + n > kMaxReplyBytes) return 0;
  t.reply.rawHeaders.append(line);
  return n;
}

// The session's send and receive limits bound a pause, not the whole transfer: a slow
// but moving reply is fine, a silent server is given up on.
int onProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
  auto& t = *static_cast<Transfer*>(user);
  const std::uint64_t now = steadyMs();
  if (down != t.lastDown || up != t.lastUp) {
    t.lastDown = down;
    t.lastUp = up;
    t.lastMoveMs = now;
    return 0;
  }
  const bool sending = up < static_cast<curl_off_t>(t.exchange->body.size());
  const std::uint32_t limit = sending ? t.exchange->sendIdleMs : t.exchange->receiveIdleMs;
  return limit != 0 && now - t.lastMoveMs > limit ? 1 : 0;
}

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

bool hasHeader(const CurlExchange& e, std::string_view name) {
  for (const auto& [n, v] : e.headers) {
    if (n.size() == name.size() && curl_strnequal(n.c_str(), name.data(), name.size())) return true;
  }
  return false;
}

// The caller's headers in its order. curl's own Accept, Content-Type and Expect are
// switched off unless the caller set them, so only what was asked for (plus Host and the
// body's length) goes on the wire.
HeaderList headerList(const CurlExchange& e) {
  HeaderList list(nullptr, &curl_slist_free_all);
  auto add = [&list](const std::string& line) {
    if (curl_slist* grown = curl_slist_append(list.get(), line.c_str())) {
      list.release();
      list.reset(grown);
    }
  };
  for (const auto& [name, value] : e.headers) add(value.empty() ? name + ";" : name + ": " + value);
  for (const char* own : {"Accept", "Content-Type", "Expect"}) {
    if (!hasHeader(e, own)) add(std::string(own) + ":");
  }
  return list;
}

void setMethodAndBody(CURL* curl, const CurlExchange& e) {
  if (e.method == "GET" && e.body.empty()) {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    return;
  }
  if (e.method == "HEAD") {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    return;
  }
  if (!e.body.empty() || e.method == "POST") {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(e.body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, e.body.data());
  }
  if (e.method != "POST") curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, e.method.c_str());
}

void setLimits(CURL* curl, const CurlExchange& e) {
  if (e.connectMs) curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(e.connectMs));
  if (e.totalMs) curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(e.totalMs));
}

void setProxyAndCredentials(CURL* curl, const CurlExchange& e) {
  // An empty text switches off proxies from the environment too: the box names its own.
  curl_easy_setopt(curl, CURLOPT_PROXY, e.proxy.c_str());
  if (e.user.empty() && e.password.empty()) return;
  curl_easy_setopt(curl, e.credentialsForProxy ? CURLOPT_PROXYUSERNAME : CURLOPT_USERNAME, e.user.c_str());
  curl_easy_setopt(curl, e.credentialsForProxy ? CURLOPT_PROXYPASSWORD : CURLOPT_PASSWORD, e.password.c_str());
}

}  // namespace

CurlReply performCurlExchange(const CurlExchange& e) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  Transfer t;
  t.exchange = &e;
  t.lastMoveMs = steadyMs();
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), &curl_easy_cleanup);
  if (!handle) return {};
  CURL* curl = handle.get();
  HeaderList headers = headerList(e);

  curl_easy_setopt(curl, CURLOPT_URL, e.url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  if (!e.userAgent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, e.userAgent.c_str());
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, e.followRedirects ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, e.verifyTls ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, e.verifyTls ? 2L : 0L);
  setMethodAndBody(curl, e);
  setLimits(curl, e);
  setProxyAndCredentials(curl, e);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &onHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &onProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);

  if (curl_easy_perform(curl) != CURLE_OK || t.tooLarge) return {};
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  t.reply.ok = true;
  t.reply.status = static_cast<int>(status);
  return std::move(t.reply);
}

}  // namespace qovra::platform::posix
