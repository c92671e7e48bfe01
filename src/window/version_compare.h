// Comparing an installed version text with the latest one of the catalogue.
#pragma once

#include <string>

#include "catalogue/software_entry.h"

namespace qovra {

// Component by component, each read like C's atoi ("10" > "9", "3a" is 3, "" is 0);
// only as many components as the installed text has are compared, so 1.0 is current
// against 1.0.1. An empty installed text means not downloaded.
VersionState compareVersions(const std::string& installed, const std::string& latest);

// One component read like atoi: blanks, an optional sign, then digits until the first
// other character; 0 when there are no digits. Very long numbers stop growing instead of overflowing.
long long versionComponent(const std::string& text);

}  // namespace qovra
