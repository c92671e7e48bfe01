// Names that become folders and files in the run directory. An entry's name is both its
// program folder and its executable's name, and it comes from a configuration text the
// box downloads, so it must name one plain folder right inside the run directory.
#pragma once

#include <string_view>

namespace qovra {

// False for a name that is empty, holds "\", "/", ":", "..", a character a file name
// cannot hold (* ? " < > |) or a control character, ends in a dot or a space, or is a
// device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$) with or without an
// extension, in any case.
bool isSafeEntryName(std::string_view name);

}  // namespace qovra
