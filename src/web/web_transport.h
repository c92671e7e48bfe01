// Where WebRequest gets its HTTP clients: the platform's by default. Tests put recording
// clients here to see the exact calls (ports, flags, time-outs) without a server.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/http_request_object.h"
#include "platform/internet_session.h"

namespace qovra::web {

struct WebTransport {
  // Called on the exchange's worker thread.
  std::function<std::unique_ptr<platform::InternetSession>(std::string_view agent, std::string_view proxy)> openSession;
  std::function<std::shared_ptr<platform::HttpRequestObject>()> createRequestObject;
  // The system's proxy setting, for a caller's "IE".
  std::function<std::string()> systemProxy;
};

WebTransport& webTransport();
// Puts the platform's clients back.
void restorePlatformTransport();

}  // namespace qovra::web
