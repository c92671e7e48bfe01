// What every request object does the same way whatever carries the request: the state
// from open to the reading of the reply (headers set twice sent once with their last
// value, the two options, synchronous and asynchronous sending) and the reading of the
// reply. A platform's object supplies only the exchange itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/http_request_object.h"

namespace qovra::platform {

// The request as open, setRequestHeader, setOption and send leave it.
struct PlannedRequest {
  std::string method, url, body;
  std::vector<std::pair<std::string, std::string>> headers;  // in sending order
  bool followRedirects = true;
  long sslIgnoreFlags = 0;
};

struct ExchangedReply {
  bool ok = false;  // a whole reply arrived
  int status = 0;
  std::string rawHeaders;  // the final reply's status line and headers, then an empty line
  std::string body;
};

class RequestObjectBase : public HttpRequestObject {
 public:
  bool open(std::string_view method, std::string_view url, bool async) override;
  bool setRequestHeader(std::string_view name, std::string_view value) override;
  void setOption(int index, long value) override;
  long option(int index) const override;
  bool send(std::string_view body) override;
  bool waitForResponse(double seconds) override;

  int status() const override;
  std::string allResponseHeaders() const override;
  std::string responseHeader(std::string_view name) const override;
  std::string responseBody() const override;
  std::string responseText() const override;

 protected:
  // Carries out the request; `limitMs` bounds the whole exchange (0: only the time-outs do).
  virtual ExchangedReply exchange(const PlannedRequest& request, std::uint32_t limitMs) = 0;

 private:
  void run(std::uint32_t limitMs);

  PlannedRequest request_;
  ExchangedReply reply_;
  bool opened_ = false, async_ = false, sent_ = false;
  long redirects_ = 1, sslIgnore_ = 0;
};

}  // namespace qovra::platform
