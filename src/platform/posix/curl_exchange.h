// One HTTP exchange on libcurl, shared by the session-shaped and the request-object-shaped
// clients of the native build. The reply is held whole in memory.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qovra::platform::posix {

struct CurlExchange {
  std::string method;  // "GET", "POST", or any other verb
  std::string url;
  std::vector<std::pair<std::string, std::string>> headers;  // in sending order
  std::string userAgent;  // empty: none unless a header names one
  std::string body;
  bool followRedirects = true;
  bool verifyTls = true;
  std::string proxy;  // curl's form: "host:port"
  std::string user, password;
  bool credentialsForProxy = false;
  std::uint32_t connectMs = 0;  // 0: no limit of our own
  std::uint32_t sendIdleMs = 0;     // longest pause while sending the body
  std::uint32_t receiveIdleMs = 0;  // longest pause while waiting for or reading the reply
  std::uint32_t totalMs = 0;        // the whole exchange; 0: no limit
};

struct CurlReply {
  bool ok = false;  // a whole reply arrived
  int status = 0;
  std::string rawHeaders;  // the final reply's status line and headers, "\r\n" each, then an empty line
  std::string body;
};

CurlReply performCurlExchange(const CurlExchange& exchange);

}  // namespace qovra::platform::posix
