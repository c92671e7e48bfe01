// The first-run question: once per program ini the box offers to put two shortcuts on the
// desktop, one that starts it normally and one that starts it in offline mode. Asked as
// the last step of every catalogue build; only the first one asks.
#pragma once

#include "platform/toolkit.h"

namespace qovra {

// Writes "非首次使用" in section "基本配置" of the program ini before asking, so the
// question never comes again, whatever the answer or however the build ends. On Yes the
// desktop gets "离线模式启动盒子.lnk" (arguments "lxms") and brandName + "·软件盒子.lnk",
// both starting the running executable. The question is modal to `owner` (the main
// window), so the list cannot be used while it waits for an answer.
void askForDesktopShortcuts(ui::ControlId owner = 0);

}  // namespace qovra
