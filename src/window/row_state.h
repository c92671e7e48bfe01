// What a row shows about its program: the installed version read from the program file,
// the texts and enablement that follow from it, the program's icon (cached in the program
// ini by version) and the result list's image list made of the row icons.
#pragma once

#include <string>
#include <string_view>

#include "platform/toolkit.h"
#include "window/row_texts.h"

namespace qovra {

// Recomputes row `rowNumber` from its program file: usedVersion (also written under
// "使用版本"), the label, versionState, the download and delete buttons and, for a
// downloaded program, the icon; then the result list's images unless skipImageRefresh.
// enableDownload enables the download button unless the program is current. A row that
// is gone, or was replaced by a rebuild while the settings were written, is left alone.
void refreshRow(int rowNumber, bool enableDownload = false, bool skipImageRefresh = false);

// Every row, each with its download button enabled first, then the images once.
void refreshAllRows();

// Writes the caption, and the enablement when the state has one.
void applyDownloadButtonState(ui::ControlId button, const DownloadButtonState& state);

// Shows the program's icon in the icon box: the picture cached in "图标缓存" when it was
// made for this version text, else the shell icon drawn at 32x32 on white, which is then
// cached. White shows as the list's background; the cache keeps the white.
void loadRowIcon(const std::string& programPath, ui::ControlId iconBox, const std::string& version);

// The cache keys of a program file: its name without folder and extension.
std::string iconCacheKeyBase(std::string_view programPath);

// Every FF FF FF byte triple, left to right and not overlapping, becomes F5 F5 F5.
std::string whiteToListBackground(std::string picture);

// Gives the result list a new image list: the rows' icon pictures in list order, the
// viewport's background transparent, each row's imageIndex set.
void rebuildResultImages();

// The timer 时钟更新图片组 fired: it stops and the images are rebuilt.
void onResultImagesTimer();

}  // namespace qovra
