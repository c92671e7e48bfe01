// The texts a catalogue row shows: the name label and the download button's caption.
// Captions are padded with spaces to a byte width counted in GBK, so that the fixed-pitch
// font lines them up.
#pragma once

#include <optional>
#include <string>

#include "catalogue/software_entry.h"

namespace qovra {

inline constexpr int kNameLabelBytes = 32;
inline constexpr int kDownloadCaptionBytes = 17;

// "[免]" or "[游]" by type, the name, padding to 32 bytes, then " v" + the installed version
// or " (未下载)".
std::string rowLabelText(const SoftwareEntry& entry);

struct DownloadButtonState {
  std::string caption;           // padded to 17 bytes
  std::optional<bool> enabled;   // nothing: leave the button's enablement as it is
};

// The caption and enablement for the entry's state; enableDownload enables the button
// unless the program is current (also when there is no download address).
DownloadButtonState downloadButtonState(const SoftwareEntry& entry, bool enableDownload = false);

}  // namespace qovra
