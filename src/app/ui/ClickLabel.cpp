#include "app/ui/ClickLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace quorvane {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) emit clicked();
      event->accept();
      return;
    default:
      QLabel::keyPressEvent(event);
  }
}

void ClickLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QStylePainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.backgroundColor = palette().color(backgroundRole());
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

}  // namespace quorvane
