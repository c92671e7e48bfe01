#include "support/scroll_area.h"

namespace qovra {

using ui::Prop;

std::int64_t ScrollArea::get(ui::ControlId control, Prop prop) const {
  return ui::toolkit().getInt(control, prop);
}

void ScrollArea::set(ui::ControlId control, Prop prop, std::int64_t value) {
  ui::toolkit().setInt(control, prop, value);
}

bool ScrollArea::usable(ui::ControlId bar) const {
  return get(bar, Prop::Visible) != 0 && get(bar, Prop::Enabled) != 0;
}

int ScrollArea::bind(ui::ControlId viewport, ui::ControlId content, ui::ControlId hBar,
                     ui::ControlId vBar, bool autoHide) {
  viewport_ = viewport;
  content_ = content;
  hBar_ = hBar;
  vBar_ = vBar;
  autoHide_ = autoHide;
  set(hBar_, Prop::Left, 0);
  set(vBar_, Prop::Top, 0);
  return 1;
}

void ScrollArea::setContentSize(int width, int height, int steps) {
  steps_ = steps;
  logicalWidth_ = width;
  logicalHeight_ = height;
  set(hBar_, Prop::Maximum, steps);
  set(vBar_, Prop::Maximum, steps);
}

int ScrollArea::layout(int left, int top, int width, int height) {
  set(viewport_, Prop::Left, left);
  set(viewport_, Prop::Top, top);
  set(viewport_, Prop::Width, width);
  set(viewport_, Prop::Height, height);
  const auto vw = get(viewport_, Prop::Width), vh = get(viewport_, Prop::Height);
  const auto barW = get(vBar_, Prop::Width), barH = get(hBar_, Prop::Height);

  set(content_, Prop::Width, vw - barW);
  set(content_, Prop::Height, vh - barH);
  set(hBar_, Prop::Top, vh - barH);
  set(hBar_, Prop::Width, vw - barW);
  set(vBar_, Prop::Left, vw - barW);
  set(vBar_, Prop::Height, vh - barH);

  // A direction whose content fits gets no bar (or a disabled one without autoHide).
  if (logicalWidth_ < (autoHide_ ? vw : get(content_, Prop::Width))) {
    if (autoHide_) {
      set(hBar_, Prop::Visible, 0);
      set(content_, Prop::Height, vh);
      set(vBar_, Prop::Height, vh);
    } else {
      set(hBar_, Prop::Enabled, 0);
    }
  } else {
    set(hBar_, Prop::Visible, 1);
    set(hBar_, Prop::Enabled, 1);
  }
  if (logicalHeight_ < (autoHide_ ? vh : get(content_, Prop::Height))) {
    if (autoHide_) {
      set(vBar_, Prop::Visible, 0);
      set(content_, Prop::Width, vw);
      set(hBar_, Prop::Width, vw);
    } else {
      set(vBar_, Prop::Enabled, 0);
    }
  } else {
    set(vBar_, Prop::Visible, 1);
    set(vBar_, Prop::Enabled, 1);
  }

  const auto cw = get(content_, Prop::Width), ch = get(content_, Prop::Height);
  if (steps_ != 0) {
    stepX_ = static_cast<double>(logicalWidth_ - cw) / steps_;
    stepY_ = static_cast<double>(logicalHeight_ - ch) / steps_;
  } else {
    set(hBar_, Prop::Maximum, logicalWidth_ - cw);
    set(vBar_, Prop::Maximum, logicalHeight_ - ch);
    stepX_ = stepY_ = 1;
  }

  // Position 1 is the bars' resting minimum and needs no re-scroll.
  if (!usable(hBar_))
    set(content_, Prop::Left, 0);
  else if (get(hBar_, Prop::Position) != 1)
    scroll(kBoth);
  if (!usable(vBar_))
    set(content_, Prop::Top, 0);
  else if (get(vBar_, Prop::Position) != 1)
    scroll(kVertical);
  return 1;
}

int ScrollArea::scroll(int kind) {
  const auto vw = get(viewport_, Prop::Width), vh = get(viewport_, Prop::Height);
  if (kind == kHorizontal || kind == kBoth) {
    const double shift = get(hBar_, Prop::Position) * stepX_;
    const auto barW = get(vBar_, Prop::Visible) ? get(vBar_, Prop::Width) : 0;
    set(content_, Prop::Left, static_cast<std::int64_t>(-shift));
    set(content_, Prop::Width, static_cast<std::int64_t>(shift + static_cast<double>(vw - barW)));
  }
  if (kind == kBoth || kind == kVertical) {
    const double shift = get(vBar_, Prop::Position) * stepY_;
    const auto barH = get(hBar_, Prop::Visible) ? get(hBar_, Prop::Height) : 0;
    set(content_, Prop::Top, static_cast<std::int64_t>(-shift));
    set(content_, Prop::Height, static_cast<std::int64_t>(shift + static_cast<double>(vh - barH)));
  }
  return 1;
}

}  // namespace qovra
