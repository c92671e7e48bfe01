// The main window once it exists: the globals its handlers share, what runs when it has
// been created (branding, search hint, list area, result-list style, tray icon, wheel,
// hint label) and the dispatch of the list area's events.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/branding.h"
#include "platform/toolkit.h"
#include "support/scroll_area.h"

namespace qovra {

inline constexpr std::string_view kSearchHint = "即输即搜(首拼通配)..";
// The tree-view style that makes the result list follow the mouse.
inline constexpr std::int64_t kTrackSelectStyle = 0x200;

struct MainWindowState {
  ui::ControlId window = 0;
  ScrollArea listArea;         // viewport 图片框边界, content 图片框容器, the two bars
  std::string searchHint;      // what the empty search box shows
  // The download queue's continue flag and how many transfers it may run at once; the
  // queue reads both.
  bool queueKeepGoing = false;
  int queueMaxConcurrent = 0;
};

MainWindowState& mainWindowState();
// A control of the main window by its form name; 0 before the window exists.
ui::ControlId mainControl(std::string_view name);

// The main window's "created" handler, run once while it loads: applyBranding, the
// search hint, the queue flags, the list area's binding, the result list's style, the
// tray icon, the wheel and the download hint label inside the progress bar.
void prepareMainWindow(ui::ControlId window, const BrandingProfile& profile);

// Puts the profile into the header and sets brandName. Without a brand word the header
// keeps its designed captions, addresses and pictures and brandName is "Qovra".
void applyBranding(ui::ControlId window, const BrandingProfile& profile);

// The tray icon's tip: the program title, then who the box serves.
std::string trayTipText();

// A wheel turn anywhere strictly inside the main window's outer rectangle scrolls the
// list one step: towards the user (delta 0 or less) down, away from the user up. The
// event is passed on by the toolkit whatever happens here.
void wheelHook(const ui::Event& event);

// The list area's share of the main window's events: size changes, the scroll bars, the
// wheel, mouse moves over the name labels and the content, presses on the content and
// the progress bar, and the image-list timer. True when the event was one of them.
bool handleListAreaEvent(ui::Event& event);

// Exit clean-up: forgets the window and every flag.
void releaseMainWindowState();

}  // namespace qovra
