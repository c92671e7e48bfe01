#include "catalogue/first_run.h"

#include <string>

#include "catalogue/catalogue.h"
#include "platform/toolkit.h"
#include "settings/program_settings.h"
#include "support/process_state.h"
#include "support/shortcuts.h"

namespace qovra {
namespace {

constexpr const char* kMessageTitle = "信息：";

std::string questionText(const std::string& brandName) {
  return "是否在桌面创建本盒子的快捷方式文件？（本提示仅出现一次）\r\n\r\n点【是】将创建 2 个快捷方式文件：‘" +
         brandName +
         "·软件盒子.lnk’和‘离线模式启动盒子.lnk’\r\n\r\n关于离线模式使用盒子，具体请参考盒子目录下的‘如何让盒子使用离线"
         "模式.txt’\r\n\r\n点击【否】，后续你也可以自己创建快捷方式";
}

void createDesktopShortcuts(const std::string& brandName) {
  const std::string desktop = specialFolderPath(kDesktopFolder);
  // Without a desktop the names alone would land in whatever folder is current.
  if (desktop.empty()) return;
  const std::string executable = processState().executablePath();
  createShortcut(desktop + kOfflineShortcutName, executable, {.arguments = kOfflineSwitch});
  createShortcut(desktop + brandName + "·软件盒子.lnk", executable);
}

}  // namespace

void askForDesktopShortcuts(ui::ControlId owner) {
  auto& ini = settings::programSettings();
  ini.selectSection(settings::kBasicSection);
  if (ini.readBool(settings::kNotFirstUseKey, false)) return;
  ini.writeBool(settings::kNotFirstUseKey, true);
  const std::string brandName = catalogueState().brandName;
  if (ui::toolkit().messageBox(owner, questionText(brandName), kMessageTitle, ui::kYesNo) != ui::kAnswerYes) return;
  createDesktopShortcuts(brandName);
}

}  // namespace qovra
