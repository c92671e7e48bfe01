#include "web_test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "web/web_transport.h"

namespace qovra::web::test {
namespace {

std::string lowered(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string readPort() {
  std::ifstream file(QOVRA_BINARY_DIR "/test-servers/web.port");
  std::string port;
  std::getline(file, port);
  return port;
}

}  // namespace

std::string serverAuthority() {
  static const std::string port = readPort();
  if (port.empty()) {
    ADD_FAILURE() << "the web test server is not running: run the suite through ctest (fixture web_servers), "
                     "or start it with tests/servers/web_test_server.py start <build>/test-servers";
  }
  return "127.0.0.1:" + port;
}

std::string serverBase() { return "http://" + serverAuthority(); }
std::string serverUrl(std::string_view path) { return serverBase() + std::string(path); }

std::vector<std::string> Echo::valuesOf(std::string_view name) const {
  std::vector<std::string> values;
  for (const auto& [n, v] : headers) {
    if (lowered(n) == lowered(name)) values.push_back(v);
  }
  return values;
}

Echo parseEcho(std::string_view reply) {
  Echo echo;
  const std::size_t end = reply.find("\r\n\r\n");
  if (end == std::string_view::npos) return echo;
  echo.body = reply.substr(end + 4);
  std::string_view head = reply.substr(0, end + 2);
  bool first = true;
  while (!head.empty()) {
    const std::size_t eol = head.find("\r\n");
    const std::string_view line = head.substr(0, eol);
    head.remove_prefix(eol + 2);
    if (first) {
      echo.requestLine = line;
      first = false;
      continue;
    }
    const std::size_t colon = line.find(": ");
    if (colon == std::string_view::npos) {
      echo.headers.emplace_back(std::string(line.substr(0, line.find(':'))), "");
    } else {
      echo.headers.emplace_back(std::string(line.substr(0, colon)), std::string(line.substr(colon + 2)));
    }
  }
  return echo;
}

const std::set<std::string>& transportHeaders() {
  static const std::set<std::string> names = {"host", "connection"};
  return names;
}

HeaderList boxHeaders(const Echo& echo, const std::set<std::string>& aside) {
  HeaderList kept;
  for (const auto& header : echo.headers) {
    const std::string name = lowered(header.first);
    if (transportHeaders().contains(name)) continue;
    if (std::any_of(aside.begin(), aside.end(), [&](const std::string& a) { return lowered(a) == name; })) continue;
    kept.push_back(header);
  }
  return kept;
}

void WindowFixture::SetUp() {
  ui::setToolkit(&tk);
  ui::FormSpec form;
  form.name = "form";
  form.width = 200;
  form.height = 100;
  form.controls = {{.name = "tick", .kind = ui::Kind::Timer, .timerPeriod = 0}};
  window = tk.loadForm(form, [this](ui::Event& event) {
    if (event.kind == ui::EventKind::TimerTick) ++ticks;
  });
}

void WindowFixture::TearDown() {
  EXPECT_EQ(tk.problems(), std::vector<std::string>{});
  ui::setToolkit(nullptr);
}

void WindowFixture::startTimer() { tk.setInt(tk.find(window, "tick"), ui::Prop::TimerPeriod, 100); }

// ---- the recording request object ------------------------------------------------------

bool RecordingRequestObject::open(std::string_view method, std::string_view url, bool async) {
  calls.push_back("open " + std::string(method) + " " + std::string(url) + (async ? " async" : " sync"));
  return true;
}

void RecordingRequestObject::setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) {
  std::ostringstream call;
  call << "timeouts " << resolveMs << " " << connectMs << " " << sendMs << " " << receiveMs;
  calls.push_back(call.str());
}

bool RecordingRequestObject::setRequestHeader(std::string_view name, std::string_view value) {
  calls.push_back("header " + std::string(name) + ": " + std::string(value));
  return true;
}

void RecordingRequestObject::setOption(int index, long value) {
  calls.push_back("option " + std::to_string(index) + " " + std::to_string(value));
  if (index == platform::kOptionEnableRedirects) redirects_ = value;
  if (index == platform::kOptionSslErrorIgnoreFlags) sslIgnore_ = value;
}

long RecordingRequestObject::option(int index) const {
  if (index == platform::kOptionEnableRedirects) return redirects_;
  if (index == platform::kOptionSslErrorIgnoreFlags) return sslIgnore_;
  return 0;
}

void RecordingRequestObject::setProxy(int setting, std::string_view server, std::string_view bypass) {
  calls.push_back("proxy " + std::to_string(setting) + " " + std::string(server));
}

void RecordingRequestObject::setCredentials(std::string_view user, std::string_view password, bool forProxy) {
  calls.push_back("credentials " + std::string(user) + " " + std::string(password) + (forProxy ? " proxy" : " server"));
}

bool RecordingRequestObject::send(std::string_view body) {
  calls.push_back("send " + std::string(body));
  return true;
}

bool RecordingRequestObject::waitForResponse(double seconds) {
  std::ostringstream call;
  call << "wait " << seconds;
  calls.push_back(call.str());
  return true;
}

std::string RecordingRequestObject::responseHeader(std::string_view name) const {
  std::istringstream lines(replyHeaders);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos && lowered(line.substr(0, colon)) == lowered(name)) return line.substr(colon + 2);
  }
  return {};
}

std::vector<std::string> RecordingRequestObject::callsStartingWith(std::string_view prefix) const {
  std::vector<std::string> found;
  for (const std::string& call : calls) {
    if (call.rfind(prefix, 0) == 0) found.push_back(call);
  }
  return found;
}

// ---- the recording session -------------------------------------------------------------

namespace {

class RecordingRequest : public platform::InternetRequest {
 public:
  explicit RecordingRequest(std::shared_ptr<SessionLog> log) : log_(std::move(log)) {}
  bool setSecurityFlags(std::uint32_t flags) override {
    std::ostringstream call;
    call << "security 0x" << std::hex << std::uppercase << flags;
    log_->calls.push_back(call.str());
    return true;
  }
  bool send(std::string_view headers, std::string_view body) override {
    log_->calls.push_back("send " + std::string(headers) + "|" + std::string(body));
    return true;
  }
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, log_->replyBody.size() - at_);
    std::copy_n(log_->replyBody.data() + at_, n, buffer);
    at_ += n;
    return n;
  }
  std::string rawHeaders() const override { return log_->replyHeaders; }

 private:
  std::shared_ptr<SessionLog> log_;
  std::size_t at_ = 0;
};

class RecordingConnection : public platform::InternetConnection {
 public:
  explicit RecordingConnection(std::shared_ptr<SessionLog> log) : log_(std::move(log)) {}
  std::unique_ptr<platform::InternetRequest> openRequest(std::string_view verb, std::string_view path,
                                                         std::uint32_t flags) override {
    std::ostringstream call;
    call << "request " << verb << " " << path << " 0x" << std::hex << std::uppercase << flags;
    log_->calls.push_back(call.str());
    return std::make_unique<RecordingRequest>(log_);
  }

 private:
  std::shared_ptr<SessionLog> log_;
};

class RecordingSession : public platform::InternetSession {
 public:
  explicit RecordingSession(std::shared_ptr<SessionLog> log) : log_(std::move(log)) {}
  void setTimeouts(std::uint32_t connectMs, std::uint32_t sendMs, std::uint32_t receiveMs) override {
    log_->calls.push_back("timeouts " + std::to_string(connectMs) + " " + std::to_string(sendMs) + " " +
                          std::to_string(receiveMs));
  }
  std::unique_ptr<platform::InternetConnection> connect(std::string_view host, std::uint16_t port) override {
    log_->calls.push_back("connect " + std::string(host) + " " + std::to_string(port));
    return std::make_unique<RecordingConnection>(log_);
  }

 private:
  std::shared_ptr<SessionLog> log_;
};

}  // namespace

std::unique_ptr<platform::InternetSession> openRecordingSession(std::shared_ptr<SessionLog> log,
                                                                std::string_view agent, std::string_view proxy) {
  log->calls.push_back("session " + std::string(agent) + "|" + std::string(proxy));
  return std::make_unique<RecordingSession>(std::move(log));
}

RecordingTransport::RecordingTransport() {
  WebTransport& transport = webTransport();
  transport.createRequestObject = [request = request] { return request; };
  transport.openSession = [log = session](std::string_view agent, std::string_view proxy) {
    return openRecordingSession(log, agent, proxy);
  };
  transport.systemProxy = [this] { return systemProxy; };
}

RecordingTransport::~RecordingTransport() { restorePlatformTransport(); }

}  // namespace qovra::web::test
