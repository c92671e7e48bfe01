// The box's two window designs, declared once as data: the main window and the text window.
#pragma once

#include "platform/toolkit.h"

namespace qovra {

const ui::FormSpec& mainWindowForm();
const ui::FormSpec& textWindowForm();

}  // namespace qovra
