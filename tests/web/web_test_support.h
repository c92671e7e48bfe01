// What the web client tests share: the address of the local test server, the echo
// server's report taken apart, a window on the headless toolkit for the paths that wait
// on it, and recording HTTP clients that show the exact calls the portable code makes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_toolkit.h"
#include "platform/http_request_object.h"
#include "platform/internet_session.h"

namespace qovra::web::test {

// "http://127.0.0.1:PORT" of the server the ctest fixture "web_servers" started; fails
// the test, saying how to start it, when it is not running.
std::string serverBase();
std::string serverUrl(std::string_view path);
// host:port only
std::string serverAuthority();

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// The echo server's report: the request line, the headers in arrival order, the body.
struct Echo {
  std::string requestLine;
  HeaderList headers;
  std::string body;

  std::vector<std::string> valuesOf(std::string_view name) const;  // any case
};
Echo parseEcho(std::string_view reply);

// Headers a transport adds on its own and the box cannot avoid; a test of the headers the
// box sends leaves these aside.
const std::set<std::string>& transportHeaders();
// The headers of `echo` other than the transport's own and those named in `aside`, in
// arrival order.
HeaderList boxHeaders(const Echo& echo, const std::set<std::string>& aside = {});

// A headless window with a 100 ms timer; ticks counts its ticks.
class WindowFixture : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void startTimer();

  ui::HeadlessToolkit tk;
  ui::ControlId window = 0;
  int ticks = 0;
};

// A request object that writes down every call, and answers with a canned reply.
class RecordingRequestObject : public platform::HttpRequestObject {
 public:
  std::vector<std::string> calls;
  int replyStatus = 200;
  std::string replyHeaders;  // "Name: value\r\n" lines
  std::string replyBody;

  bool open(std::string_view method, std::string_view url, bool async) override;
  void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override;
  bool setRequestHeader(std::string_view name, std::string_view value) override;
  void setOption(int index, long value) override;
  long option(int index) const override;
  void setProxy(int setting, std::string_view server, std::string_view bypass) override;
  void setCredentials(std::string_view user, std::string_view password, bool forProxy) override;
  bool send(std::string_view body) override;
  bool waitForResponse(double seconds) override;
  int status() const override { return replyStatus; }
  std::string allResponseHeaders() const override { return replyHeaders; }
  std::string responseHeader(std::string_view name) const override;
  std::string responseBody() const override { return replyBody; }
  std::string responseText() const override { return "text:" + replyBody; }

  // The calls whose text starts with `prefix`.
  std::vector<std::string> callsStartingWith(std::string_view prefix) const;

 private:
  long redirects_ = 1;
  long sslIgnore_ = 0x3300;
};

// A session that writes down every call, shared by all it opens; the request answers
// with a canned reply.
struct SessionLog {
  std::vector<std::string> calls;
  std::string replyHeaders = "HTTP/1.1 200 OK\r\n\r\n";
  std::string replyBody;
};
std::unique_ptr<platform::InternetSession> openRecordingSession(std::shared_ptr<SessionLog> log,
                                                                std::string_view agent, std::string_view proxy);

// Puts recording clients in place of the platform's for one test and the platform's back
// afterwards.
class RecordingTransport {
 public:
  RecordingTransport();
  ~RecordingTransport();
  std::shared_ptr<RecordingRequestObject> request = std::make_shared<RecordingRequestObject>();
  std::shared_ptr<SessionLog> session = std::make_shared<SessionLog>();
  std::string systemProxy;
};

}  // namespace qovra::web::test
