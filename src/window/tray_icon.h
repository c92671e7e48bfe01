// The box's own tray icon: a white "Q" on a blue rounded square.
#pragma once

#include <string>

namespace qovra {

// Icon file bytes: one 16x16 image of 32 bits per pixel with its alpha and AND mask.
std::string trayIconBytes();

}  // namespace qovra
