// One software item of the catalogue: a section of the box configuration or the custom list.
#pragma once

#include <cstdint>
#include <string>

namespace qovra {

enum VersionState : std::int32_t {
  kNotDownloaded = 0,
  kUpgradeAvailable = 1,
  kCurrent = 2,
};

enum SoftwareType : std::int32_t {
  kFreeSoftware = 1,  // shown with the prefix "[免]"
  kFreeGame = 2,      // shown with the prefix "[游]"
};

struct SoftwareEntry {
  std::int32_t usageCount = 0;   // runs counted in the program ini; the primary sort key
  std::int32_t position = 0;     // 1-based order in the combined configuration; the tie-break
  std::string name;              // section name; also the program's folder and executable name
  std::string latestVersion;
  std::string homepage;
  std::string downloadAddress;   // replaced by the resolved direct address before a transfer
  std::string usedVersion;       // installed version; empty when not downloaded
  std::int32_t versionState = kNotDownloaded;
  bool manualDownload = false;   // the address is a page for the browser, not a file
  std::string tutorial;          // one or more addresses
  std::int32_t retryCount = 0;
  std::int32_t softwareType = 0;
};

}  // namespace qovra
