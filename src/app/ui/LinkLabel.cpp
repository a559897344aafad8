#include "app/ui/LinkLabel.h"

#include <QEnterEvent>

#include "base/ui/AccessibleRole.h"

namespace quorvane {

LinkLabel::LinkLabel(QWidget* parent) : ClickLabel(parent) {
  QFont f = font();
  f.setPixelSize(12);
  f.setUnderline(true);
  setFont(f);
  setCursor(Qt::PointingHandCursor);
  setTextFormat(Qt::PlainText);  // a caption, never markup
  // Reached with Tab and opened with Enter or Space like any link; a
  // mouse click leaves the focus where it was.
  setFocusPolicy(Qt::TabFocus);
  SetAccessibleRole(this, QAccessible::Link);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  ClickLabel::enterEvent(event);
  SetHovered(true);
}

void LinkLabel::leaveEvent(QEvent* event) {
  ClickLabel::leaveEvent(event);
  SetHovered(false);
}

void LinkLabel::SetHovered(bool hovered) {
  hovered_ = hovered;
  QPalette p = palette();
  p.setColor(QPalette::WindowText,
             hovered ? QColor(Qt::blue) : QPalette().color(QPalette::WindowText));
  setPalette(p);
}

}  // namespace quorvane
