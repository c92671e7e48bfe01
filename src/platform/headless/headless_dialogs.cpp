// Message boxes, the file dialog, the clipboard and the tray of the headless toolkit:
// answers come from what the test scripted, and every call is kept.
#include <algorithm>
#include <vector>

#include "platform/headless/headless_toolkit.h"

namespace qovra::ui {
namespace {

// The buttons of a message box's button set (the low four bits of its style), first the
// default one; Windows' values.
std::vector<int> buttonsOf(unsigned style) {
  switch (style & 0xFu) {
    case 0x0: return {kAnswerOk};
    case 0x1: return {kAnswerOk, kAnswerCancel};
    case 0x2: return {3, 4, 5};  // abort, retry, ignore
    case 0x3: return {kAnswerYes, kAnswerNo, kAnswerCancel};
    case 0x4: return {kAnswerYes, kAnswerNo};
    case 0x5: return {4, kAnswerCancel};  // retry, cancel
    default: return {kAnswerCancel, 10, 11};  // cancel, try again, continue
  }
}

// An .ico file: reserved 0, type 1, at least one image.
bool isIconFile(std::string_view bytes) {
  return bytes.size() >= 6 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0 &&
         (bytes[4] != 0 || bytes[5] != 0);
}

}  // namespace

int HeadlessToolkit::messageBox(ControlId owner, std::string_view text, std::string_view title, unsigned style) {
  MessageBoxCall call{owner, std::string(text), std::string(title), style, 0, !answers_.empty()};
  const std::vector<int> buttons = buttonsOf(style);
  if (call.scripted) {
    call.answer = answers_.front();
    answers_.pop_front();
    if (std::find(buttons.begin(), buttons.end(), call.answer) == buttons.end()) {
      problem("message box \"" + call.text + "\" has no button " + std::to_string(call.answer));
    }
  } else {
    call.answer = buttons.front();
    problem("message box \"" + call.text + "\" was not scripted");
  }
  messageBoxes_.push_back(call);
  return call.answer;
}

std::vector<std::string> HeadlessToolkit::openFilesDialog(ControlId owner, std::string_view title,
                                                          std::string_view filter) {
  FilesDialogCall call{owner, std::string(title), std::string(filter), {}};
  if (fileAnswers_.empty()) {
    problem("file dialog \"" + call.title + "\" was not scripted");
  } else {
    call.chosen = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
  }
  filesDialogs_.push_back(call);
  return call.chosen;
}

std::string HeadlessToolkit::clipboardText() { return clipboard_; }

// Like the native tray, an icon that is no .ico file is refused; adding again replaces the
// window's icon and tip.
bool HeadlessToolkit::trayAdd(ControlId window, std::string_view iconBytes, std::string_view tip) {
  if (!windowRecord(window) || !isIconFile(iconBytes)) return false;
  TrayCall call{true, window, std::string(iconBytes), std::string(tip)};
  trayCalls_.push_back(call);
  trayIcons_[window] = call;
  return true;
}

void HeadlessToolkit::trayRemove(ControlId window) {
  auto it = trayIcons_.find(window);
  if (it == trayIcons_.end()) return;
  trayCalls_.push_back({false, window, it->second.icon, it->second.tip});
  trayIcons_.erase(it);
}

std::optional<HeadlessToolkit::TrayCall> HeadlessToolkit::trayIcon(ControlId window) const {
  auto it = trayIcons_.find(window);
  if (it == trayIcons_.end()) return std::nullopt;
  return it->second;
}

}  // namespace qovra::ui
