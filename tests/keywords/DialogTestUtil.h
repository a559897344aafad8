#pragma once

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

namespace quorvane {

// Runs `action` once the modal loop of `dialog` has started (exec blocks
// the test until the dialog closes).
inline int ExecWith(QDialog& dialog, std::function<void()> action) {
  QTimer::singleShot(0, &dialog, std::move(action));
  return dialog.exec();
}

// The widgets that Tab visits, from `first` on, in order, until the chain
// comes back to `first`.
inline std::vector<QWidget*> TabChain(QWidget* first) {
  std::vector<QWidget*> chain{first};
  for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isWindow()) chain.push_back(w);
  }
  return chain;
}

// Key presses delivered as the window system would deliver them.
inline void PressKey(QWidget* target, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

inline void TypeText(QWidget* target, const QString& text) {
  for (const QChar c : text) PressKey(target, 0, QString(c));
}

}  // namespace quorvane
