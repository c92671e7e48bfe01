#include "window/row_texts.h"

#include "support/conventions.h"

namespace qovra {

std::string rowLabelText(const SoftwareEntry& entry) {
  std::string prefix;
  if (entry.softwareType == kFreeSoftware) prefix = "[免]";
  if (entry.softwareType == kFreeGame) prefix = "[游]";
  std::string text = padToGbkBytes(prefix + entry.name, kNameLabelBytes);
  text += entry.usedVersion.empty() ? " (未下载)" : " v" + entry.usedVersion;
  return text;
}

DownloadButtonState downloadButtonState(const SoftwareEntry& entry, bool enableDownload) {
  DownloadButtonState state;
  const std::string latest = entry.latestVersion.empty() ? "0.0.0.0" : entry.latestVersion;
  if (entry.downloadAddress.empty()) {
    state.caption = "没有下载地址!";
    state.enabled = false;
  } else if (entry.versionState == kNotDownloaded) {
    state.caption = "下载 v" + latest;
  } else if (entry.versionState == kUpgradeAvailable) {
    state.caption = "升级 v" + latest;
  } else {
    state.caption = "已是最新版本!";
    state.enabled = false;
  }
  if (enableDownload && entry.versionState != kCurrent) state.enabled = true;
  state.caption = padToGbkBytes(state.caption, kDownloadCaptionBytes);
  return state;
}

}  // namespace qovra
