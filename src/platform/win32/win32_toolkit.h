// The toolkit with real windows: every form becomes a top-level window and every control a
// child window of a standard or an own class. The header names no OS type, so start-up
// code outside platform/ can construct it.
#pragma once

#include <memory>

#include "platform/toolkit.h"

namespace qovra::ui {

class Win32Toolkit : public Toolkit {
 public:
  Win32Toolkit();
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  ControlId loadForm(const FormSpec& form, Handler handler, ControlId owner = 0) override;
  void showModal(ControlId window) override;
  void destroyWindow(ControlId window) override;
  ControlId find(ControlId window, std::string_view name) const override;
  std::string nameOf(ControlId control) const override;
  ControlId windowOf(ControlId control) const override;

  ControlId copyControl(ControlId templateControl) override;
  void destroyControl(ControlId control) override;
  void setParent(ControlId control, ControlId parent) override;
  std::string className(ControlId control) const override;

  std::int64_t getInt(ControlId control, Prop prop) const override;
  void setInt(ControlId control, Prop prop, std::int64_t value) override;
  std::string getText(ControlId control, Prop prop) const override;
  void setText(ControlId control, Prop prop, std::string_view value) override;
  void setFocus(ControlId control) override;

  void treeClear(ControlId tree) override;
  int treeAdd(ControlId tree, std::string_view caption, int image, int selectedImage,
              std::int64_t value) override;
  int treeCount(ControlId tree) const override;
  int treeSelected(ControlId tree) const override;
  void treeSelect(ControlId tree, int index) override;
  std::int64_t treeValue(ControlId tree, int index) const override;
  std::vector<int> treeSetImages(ControlId tree, const std::vector<std::string>& pictures,
                                 Colour transparent) override;

  int messageBox(ControlId owner, std::string_view text, std::string_view title,
                 unsigned style) override;
  std::string clipboardText() override;
  std::vector<std::string> openFilesDialog(ControlId owner, std::string_view title,
                                           std::string_view filter) override;

  bool trayAdd(ControlId window, std::string_view iconBytes, std::string_view tip) override;
  void trayRemove(ControlId window) override;

  int runMessageLoop() override;
  void processPendingMessages() override;
  void quit(int exitCode) override;

  std::uint64_t nowMs() const override;
  void waitForWorker(platform::Worker& worker) override;

  int screenWidth() const override;
  int screenHeight() const override;

  // The window handle (HWND) of a window or control; null for timers and unknown ids.
  // For code that must talk to Windows about a toolkit window directly.
  void* nativeHandle(ControlId control) const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The program's toolkit on Windows.
std::unique_ptr<Toolkit> makeWin32Toolkit();

}  // namespace qovra::ui
