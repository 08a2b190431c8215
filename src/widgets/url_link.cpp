#include "widgets/url_link.h"

namespace widgets {

TColor TProUrlLabel::Color() const {
  if (pressed_ && inside_) return ActivatedColor;
  return visited_ ? VisitedColor : UnvisitedColor;
}

void TProUrlLabel::SetFontColor(TColor c) {
  if (pressed_) return;
  if (visited_) VisitedColor = c;
  else UnvisitedColor = c;
}

void TProUrlLabel::MouseDown() {
  pressed_ = true;
  inside_ = true;
}

void TProUrlLabel::MouseMove(int x, int y) {
  if (pressed_) inside_ = Inside(x, y);
}

bool TProUrlLabel::MouseUp(int x, int y) {
  const bool open = pressed_ && Inside(x, y);
  pressed_ = false;
  inside_ = false;
  if (open) {
    visited_ = true;
    if (onOpen) onOpen(Target());
  }
  return open;
}

}  // namespace widgets
