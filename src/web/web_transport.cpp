#include "web/web_transport.h"

namespace qovra::web {
namespace {

WebTransport platformTransport() {
  return {&platform::openInternetSession, &platform::createHttpRequestObject, &platform::systemProxySetting};
}

}  // namespace

WebTransport& webTransport() {
  static WebTransport transport = platformTransport();
  return transport;
}

void restorePlatformTransport() { webTransport() = platformTransport(); }

}  // namespace qovra::web
