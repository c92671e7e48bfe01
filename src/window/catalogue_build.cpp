#include "window/catalogue_build.h"

#include <string_view>
#include <vector>

#include "catalogue/box_config.h"
#include "catalogue/branding.h"
#include "catalogue/catalogue.h"
#include "catalogue/entry_name.h"
#include "catalogue/first_run.h"
#include "platform/files.h"
#include "settings/program_settings.h"
#include "settings/settings_store.h"
#include "support/conventions.h"
#include "support/process_state.h"
#include "window/file_version.h"
#include "window/list_area.h"
#include "window/main_window.h"
#include "window/rows.h"
#include "window/usage_order.h"
#include "window/version_compare.h"

namespace qovra {

using ui::Prop;

namespace {

struct BuildState {
  bool running = false;
  bool asked = false;      // another build was asked for while one ran
  bool activated = false;  // the main window has had its first activation
};

BuildState& buildState() {
  static BuildState state;
  return state;
}

ui::Toolkit& tk() { return ui::toolkit(); }

std::string inRunDirectory(std::string_view name) { return processState().runDirectory + "\\" + std::string(name); }

void showProgress(std::string_view text) {
  if (const ui::ControlId label = mainControl(kLoadingLabel)) tk().setText(label, Prop::Caption, text);
}

// Downloads of a branded box unpack into a hidden "temp" folder; a failure shows later,
// when a download cannot be unpacked.
void prepareBrandedDownloadRoot() {
  const std::string root = inRunDirectory("temp");
  catalogueState().downloadRoot = root;
  if (platform::isFolder(root)) return;
  for (int i = 0; i < 3; ++i) platform::createFolder(root);
  platform::setFileAttributes(root, platform::kAttrHidden);
}

// A branded box lists its maker's entries under its own name, only those that are neither
// free software nor games, with the brand's homepage and tutorial addresses.
void applyBrandRules(settings::SettingsStore& list) {
  prepareBrandedDownloadRoot();
  settings::SettingsStore overrides;
  overrides.open("", true);
  overrides.setText(readTextFile(inRunDirectory(kBrandOverridesName)));
  std::vector<std::string> names;
  list.listSections(names, kBrandPrefix);
  const std::string brandPrefix = catalogueState().brandName + "·";
  for (const std::string& old : names) {
    const std::string name = replaceAll(old, kBrandPrefix, brandPrefix);
    list.renameSection(old, name);
    list.selectSection(name);
    overrides.selectSection(name);
    if (!realsEqual(list.readNumber("软件类型"), 0)) {
      list.deleteEntry(name, "");
      continue;
    }
    list.writeText("软件主页", overrides.readText("软件主页"));
    list.writeText("视频教程", overrides.readText("视频教程"));
  }
}

// The installed version: the one the ini remembers, else the program's own file version
// (remembered from now on); nothing when the program is not there, whatever the ini says.
std::string installedVersion(const std::string& name) {
  settings::SettingsStore& ini = settings::programSettings();
  ini.selectSection(settings::kUsedVersionSection);
  const std::string remembered = ini.readText(name);
  const std::string program = programFile(processState().runDirectory, name);
  if (!platform::pathExists(program)) return {};
  if (!remembered.empty()) return remembered;
  const std::string version = readFileVersionRecord(program).fileVersion;
  ini.selectSection(settings::kUsedVersionSection);
  ini.writeText(name, version);
  return version;
}

SoftwareEntry readEntry(settings::SettingsStore& list, const std::string& name, int position) {
  SoftwareEntry entry;
  settings::SettingsStore& ini = settings::programSettings();
  ini.selectSection(settings::kUsageCountSection);
  entry.usageCount = truncateToInt(ini.readNumber(name));
  list.selectSection(name);
  entry.position = position;
  entry.name = name;
  entry.latestVersion = list.readText("最新版本");
  entry.homepage = list.readText("软件主页");
  entry.downloadAddress = list.readText("下载地址");
  entry.manualDownload = list.readText("是否打开") == "是";
  entry.tutorial = list.readText("视频教程");
  entry.softwareType = truncateToInt(list.readNumber("软件类型"));
  entry.usedVersion = installedVersion(name);
  entry.versionState = compareVersions(entry.usedVersion, entry.latestVersion);
  entry.retryCount = 0;
  return entry;
}

void createRows(settings::SettingsStore& list) {
  auto& state = catalogueState();
  std::vector<std::string> names;
  list.listSections(names, state.brandName + "·");
  showProgress("正在初始化软件列表...2");
  for (const std::string& name : names) {
    // The delete button removes an entry's folder with everything in it: a name that
    // would make that folder anything but one plain folder in the run directory is left out.
    if (!isSafeEntryName(name)) continue;
    const int rowNumber = static_cast<int>(state.rows.size()) + 1;
    state.rows.push_back(createRow(readEntry(list, name, rowNumber), rowNumber));
  }
  if (state.rows.empty()) return;
  const auto n = static_cast<std::int64_t>(state.rows.size());
  const auto top = tk().getInt(mainControl("控件教程"), Prop::Top);
  state.contentBottom = static_cast<int>(top + n * tk().getInt(state.rows.back().tutorialButton, Prop::Height));
}

void buildOnce() {
  auto& state = catalogueState();
  state.catalogueReady = false;
  const ObtainedConfig config = obtainBoxConfig(mainWindowState().window);
  if (config.programEnded) return;
  showProgress("正在初始化软件列表...1");
  clearCatalogue();

  settings::SettingsStore list;
  list.open("", true);
  list.setText(readTextFile(inRunDirectory(kCustomListName)) + "\r\n" + config.text);
  if (!brandingProfile().brandWord.empty())
    applyBrandRules(list);
  else
    state.downloadRoot = processState().runDirectory;
  list.selectSection("盒子");
  state.downloadSource = list.readText("下载源");
  if (config.fetched) saveOfflineCopy(config.text);

  createRows(list);
  showProgress("正在初始化软件列表...3");
  sortAndLayout("");
  layoutListArea();
  askForDesktopShortcuts(mainWindowState().window);
  if (const ui::ControlId panel = mainControl(kLoadingPanel)) tk().setInt(panel, Prop::Visible, 0);
  state.catalogueReady = true;
}

}  // namespace

void buildCatalogue() {
  BuildState& build = buildState();
  if (build.running) {
    build.asked = true;
    return;
  }
  build.running = true;
  do {
    build.asked = false;
    buildOnce();
  } while (build.asked && mainWindowState().window != 0);
  build.running = false;
}

bool handleCatalogueEvent(const ui::Event& event) {
  BuildState& build = buildState();
  if (event.kind == ui::EventKind::Activated && event.control == mainWindowState().window) {
    if (build.activated) return false;
    build.activated = true;
    buildCatalogue();
    return true;
  }
  if (event.kind == ui::EventKind::Click && event.control != 0 && event.control == mainControl("按钮更新配置")) {
    processState().offlineMode = false;
    buildCatalogue();
    return true;
  }
  return false;
}

void resetCatalogueBuild() { buildState() = BuildState{}; }

}  // namespace qovra
