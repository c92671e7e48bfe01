// The scrolling list area of the main window: its layout after a size change, the two
// scroll bars, the wheel step and the jump to a row. The content's logical size follows
// the template columns and the bottom of the last row.
#pragma once

#include "platform/toolkit.h"

namespace qovra {

// Bar steps of the list area: a bar position p shows p/100 of the hidden part.
inline constexpr int kListSteps = 100;

// Lays the list area, the loading panel, the header band and its separator out for the
// window's client size, with the content size of the rows as they are. Runs on every
// size change, and the catalogue build calls it once the rows exist so their size is in
// force before the user resizes anything.
void layoutListArea();

// A scroll bar of the list area moved: the vertical one scrolls vertically, the
// horizontal one both ways.
void onListScrollBar(ui::ControlId bar);

// One wheel notch: hides the result list and moves the vertical bar by 300/n positions
// against the direction (-1 towards the user scrolls down), at most to 100. With no rows
// the position stays.
void wheelStep(int direction);

// Scrolls so that row i (from 1) of n shows: vertical position i*100/n, truncated.
void jumpToRow(int rowNumber);

}  // namespace qovra
