#include "catalogue/box_config.h"

#include "app/deployment.h"
#include "catalogue/catalogue.h"
#include "platform/charset.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "support/process_state.h"
#include "web/web_request.h"

namespace qovra {
namespace {

constexpr int kWaitStepMs = 10;
constexpr const char* kMessageTitle = "信息：";
constexpr std::string_view kDownloadSourceKey = "下载源=";

BoxConfigServices platformServices() {
  BoxConfigServices services;
  services.fetch = [](std::string_view address) { return web::fetchTextNative(address); };
  services.sleep = platform::sleepMs;
  services.endProgram = [](int exitCode) { ui::toolkit().quit(exitCode); };
  services.configHost = deployment::kConfigHost;
  return services;
}

void showMessage(ui::ControlId mainWindow, std::string_view text) {
  ui::toolkit().messageBox(mainWindow, text, kMessageTitle, ui::kOk);
}

void setLoadingText(ui::ControlId mainWindow, std::string_view text) {
  if (mainWindow == 0) return;
  if (const ui::ControlId label = ui::toolkit().find(mainWindow, kLoadingLabel))
    ui::toolkit().setText(label, ui::Prop::Caption, text);
}

void showLoadingPanel(ui::ControlId mainWindow) {
  if (mainWindow == 0) return;
  if (const ui::ControlId panel = ui::toolkit().find(mainWindow, kLoadingPanel))
    ui::toolkit().setInt(panel, ui::Prop::Visible, 1);
  setLoadingText(mainWindow, kLoadingRemoteText);
}

std::string readLocalCopy() {
  std::string local = readTextFile(offlineCopyPath());
  if (local.empty()) local = readTextFile(processState().runDirectory + "\\" + kFallbackCopyName);
  return local;
}

std::string removeAll(std::string text, std::string_view what) {
  if (what.empty()) return text;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) text.erase(at, what.size());
  return text;
}

}  // namespace

BoxConfigServices& boxConfigServices() {
  static BoxConfigServices services = platformServices();
  return services;
}

void restoreBoxConfigServices() { boxConfigServices() = platformServices(); }

std::string remoteConfigAddress() { return "http://" + boxConfigServices().configHost + "/box.txt"; }

std::string offlineCopyPath() {
  return processState().runDirectory + "\\" + catalogueState().brandName + "·软件列表.ini";
}

ObtainedConfig obtainBoxConfig(ui::ControlId mainWindow) {
  const std::string local = readLocalCopy();
  showLoadingPanel(mainWindow);
  const bool offline = processState().offlineMode;
  if (offline && !local.empty()) return {local, false, false};
  if (offline) showMessage(mainWindow, kOfflineWithoutCopyText);

  std::string reply = fetchBoxConfig();
  if (!reply.empty() && reply.find(kBoxSectionLine) != std::string::npos) return {std::move(reply), true, false};
  if (local.empty()) {
    showMessage(mainWindow, std::string(kRemoteFailedFatalText) + catalogueState().brandName);
    boxConfigServices().endProgram(kNoConfigExitCode);
    return {{}, false, true};
  }
  setLoadingText(mainWindow, kRemoteFailedOfflineText);
  waitWithEvents(kFetchPauseMs);
  return {local, false, false};
}

std::string fetchBoxConfig() {
  const std::string address = remoteConfigAddress();
  for (int attempt = 0; attempt < kFetchTries; ++attempt) {
    std::string reply = boxConfigServices().fetch(address);
    if (!reply.empty()) return reply;
    waitWithEvents(kFetchPauseMs);
  }
  return {};
}

void saveOfflineCopy(const std::string& config) {
  const std::string path = offlineCopyPath();
  // A hidden (or read-only) copy could not be replaced otherwise.
  platform::setFileAttributes(path, platform::kAttrArchive);
  writeTextFile(path, removeAll(config, std::string(kDownloadSourceKey) + catalogueState().downloadSource));
  platform::setFileAttributes(path, platform::kAttrHidden);
}

void waitWithEvents(int ms, const std::function<bool()>& stop) {
  for (int waited = 0; waited < ms; waited += kWaitStepMs) {
    if (stop && stop()) return;
    boxConfigServices().sleep(kWaitStepMs);
    ui::toolkit().processPendingMessages();
  }
}

std::string readTextFile(const std::string& path, std::string_view defaultText) {
  const auto bytes = platform::readFile(path);
  if (!bytes || bytes->empty()) return std::string(defaultText);
  return platform::toUtf8(std::string_view(*bytes).substr(0, bytes->find('\0')), platform::Charset::Gbk);
}

bool writeTextFile(const std::string& path, std::string_view text, bool append) {
  std::string bytes = platform::fromUtf8(text, platform::Charset::Gbk);
  if (append) {
    if (const auto old = platform::readFile(path)) bytes.insert(0, *old);
  }
  return platform::writeFile(path, bytes);
}

}  // namespace qovra
