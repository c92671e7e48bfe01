// The box configuration: the ini-style list of software the vendor's server publishes as
// "box.txt". Every catalogue build obtains it anew, from the server when it answers and
// otherwise from the copy kept beside the program, and refreshes that copy after every
// successful fetch. Also the small file and waiting helpers the rest of the box shares.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/toolkit.h"

namespace qovra {

// The loading panel that covers the list area while a build runs, and its label.
inline constexpr std::string_view kLoadingPanel = "图片框加载中";
inline constexpr std::string_view kLoadingLabel = "标签1";

inline constexpr std::string_view kLoadingRemoteText = "正在加载远程配置文件...";
inline constexpr std::string_view kOfflineWithoutCopyText =
    "使用离线模式之前必须先用正常模式读取一次包含软件列表的盒子配置，或咨询客服获取盒子配置文件！现在是正常模式启动。";
// Followed by brandName.
inline constexpr std::string_view kRemoteFailedFatalText =
    "访问远程配置文件失败（而且也没有本地离线配置文件）！请检查本软件是否被拦截网络访问！请添加信任，然后重新运行本软件！或咨询";
inline constexpr std::string_view kRemoteFailedOfflineText = "访问远程配置文件失败！盒子将加载历史配置（离线模式）！";

// A reply that holds this line is a box configuration; anything else (an error page, a
// captive portal) is not.
inline constexpr std::string_view kBoxSectionLine = "[盒子]";
inline constexpr const char* kFallbackCopyName = "box.txt";
inline constexpr int kFetchTries = 3;
inline constexpr int kFetchPauseMs = 1000;
// The program's exit code when it ends for want of any configuration.
inline constexpr int kNoConfigExitCode = 1;

struct ObtainedConfig {
  std::string text;           // UTF-8
  bool fetched = false;       // from the server: the offline copy is to be refreshed
  bool programEnded = false;  // nothing to show: the program is ending, the build must stop
};

// What obtaining the configuration needs from outside the catalogue. Tests replace these.
struct BoxConfigServices {
  // One GET of the address; the reply as text, empty on any failure.
  std::function<std::string(std::string_view address)> fetch;
  // One step of waitWithEvents; on the headless toolkit it moves the virtual clock.
  std::function<void(std::uint32_t ms)> sleep;
  // Ends the program from inside; the process entry puts its exit clean-up here.
  std::function<void(int exitCode)> endProgram;
  // host[:port] of the configuration server.
  std::string configHost;
};

BoxConfigServices& boxConfigServices();
// The platform's fetch and sleep, the build's server, and ending through the toolkit's quit.
void restoreBoxConfigServices();

// "http://" + the configuration server + "/box.txt".
std::string remoteConfigAddress();
// brandName + "·软件列表.ini" in the run directory.
std::string offlineCopyPath();

// The configuration for a build: the offline copy (or "box.txt") in offline mode, else the
// server's reply when valid, else the local copy, else the fatal message and the end of
// the program. `mainWindow` holds the loading panel and owns the message boxes; 0 when
// there is no window (nothing is shown then).
ObtainedConfig obtainBoxConfig(ui::ControlId mainWindow);
// Up to three GETs; the first non-empty reply, or empty. Each empty reply is followed by a
// pause of 1000 ms.
std::string fetchBoxConfig();
// Refreshes the hidden offline copy with the fetched text, without the download source.
void saveOfflineCopy(const std::string& config);

// Waits `ms` in steps of 10 ms, processing pending window messages after each; the steps
// are counted, not the clock. Ends early once `stop` says so.
void waitWithEvents(int ms, const std::function<bool()>& stop = {});

// The file's text (GBK on disk, up to its first zero byte), or `defaultText` when it is
// missing or empty.
std::string readTextFile(const std::string& path, std::string_view defaultText = {});
// Writes the text in GBK as the whole file, or after the file's bytes with `append`.
bool writeTextFile(const std::string& path, std::string_view text, bool append = false);

}  // namespace qovra
