#include "base/ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quorvane {

void CenterOnScreen(QWidget& window) {
  QScreen* screen = window.screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  QRect frame = window.frameGeometry();
  frame.moveCenter(area.center());
  window.move(frame.topLeft());
}

}  // namespace quorvane
