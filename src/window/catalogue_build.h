// Building the catalogue: the box configuration with the user's own list in front, the
// rules of a re-branded box, what is installed in which version, one row per entry, the
// usage order and the first-run question. Runs when the main window is first activated
// and again for "检测更新".
#pragma once

#include <string>

#include "platform/toolkit.h"

namespace qovra {

inline constexpr const char* kCustomListName = "自定义软件列表.ini";
inline constexpr const char* kBrandOverridesName = "qovra.rcx";
inline constexpr const char* kBrandPrefix = "Qovra·";

// Builds the catalogue from scratch. Asked for while a build runs (its waits process
// window messages, so a click can land in the middle), it runs once the running build has
// ended instead of inside it.
void buildCatalogue();

// The main window's first activation builds the catalogue; "检测更新" leaves offline mode
// and builds it again. True when the event was one of them.
bool handleCatalogueEvent(const ui::Event& event);

// Forgets that the window was activated before (exit clean-up, tests).
void resetCatalogueBuild();

}  // namespace qovra
