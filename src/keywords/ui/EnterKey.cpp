#include "keywords/ui/EnterKey.h"

#include <QKeyEvent>

namespace quorvane {

bool IsEnterKeyPress(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace quorvane
