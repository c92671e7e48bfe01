// The search box in the header (编辑框搜索): its hint while it is empty and unfocused.
#pragma once

#include "platform/toolkit.h"

namespace qovra {

inline constexpr ui::Colour kSearchHintColour = ui::rgb(128, 128, 128);

// The box lost the focus (and once when the window is created): an empty box, or one
// that holds the hint, shows the hint in grey italics; the result list is hidden.
void searchBoxFocusLost();

}  // namespace qovra
