// Scrolls a content control inside a viewport control with a horizontal and a vertical
// scroll bar, all four ordinary controls: the content is moved to negative coordinates
// and stretched so that it still reaches the viewport's right and bottom edges.
#pragma once

#include "platform/toolkit.h"

namespace qovra {

class ScrollArea {
 public:
  enum ScrollKind { kHorizontal = 0, kBoth = 1, kVertical = 2 };

  int bind(ui::ControlId viewport, ui::ControlId content, ui::ControlId hBar, ui::ControlId vBar,
           bool autoHide);
  // Takes effect at the next layout. steps 0 means one bar step per pixel.
  void setContentSize(int width, int height, int steps = 10);
  int layout(int left, int top, int width, int height);
  int scroll(int kind);

  int steps() const { return steps_; }
  double horizontalStep() const { return stepX_; }
  double verticalStep() const { return stepY_; }

 private:
  std::int64_t get(ui::ControlId control, ui::Prop prop) const;
  void set(ui::ControlId control, ui::Prop prop, std::int64_t value);
  bool usable(ui::ControlId bar) const;  // visible and enabled

  ui::ControlId viewport_ = 0, content_ = 0, hBar_ = 0, vBar_ = 0;
  bool autoHide_ = false;
  int logicalWidth_ = 0, logicalHeight_ = 0;
  double stepX_ = 0, stepY_ = 0;
  int steps_ = 0;
};

}  // namespace qovra
