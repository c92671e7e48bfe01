// What a settings store needs from outside itself: the held ini file, and while the box
// has windows, message boxes and the processing of pending window messages in its editing
// loops. Until the program connects them to its window toolkit the store shows nothing and
// processes nothing, so it also runs where no toolkit exists (unit tests, tools).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/held_file.h"

namespace qovra::settings {

struct StoreServices {
  std::function<std::unique_ptr<platform::HeldFile>(const std::string& path)> holdFile =
      platform::holdFile;
  std::function<void(std::string_view text, std::string_view title, unsigned style)> messageBox;
  std::function<void()> processPendingMessages;
};

StoreServices& storeServices();

// Message boxes and pending messages go to ui::toolkit() from now on.
void connectStoresToToolkit();
// Back to no window at all (the toolkit is about to go).
void disconnectStoresFromToolkit();

}  // namespace qovra::settings
