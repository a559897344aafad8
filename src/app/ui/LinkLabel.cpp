#include "app/ui/LinkLabel.h"

#include <QEnterEvent>
#include <QFontInfo>
#include <algorithm>

#include "app/ui/DarkPalette.h"
#include "base/ui/AccessibleRole.h"

namespace quorvane {

LinkLabel::LinkLabel(QWidget* parent) : ClickLabel(parent) {
  // 12 pixels, or the user's size when that is larger.
  QFont f = font();
  f.setPixelSize(std::max(12, QFontInfo(f).pixelSize()));
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
  // Pure blue reads badly on a dark desktop: there the palette's own link
  // colour marks the hover.
  const QPalette desktop;
  const QColor hover = IsDarkPalette(desktop) ? desktop.color(QPalette::Link) : QColor(Qt::blue);
  QPalette p = palette();
  p.setColor(QPalette::WindowText, hovered ? hover : desktop.color(QPalette::WindowText));
  setPalette(p);
}

}  // namespace quorvane
