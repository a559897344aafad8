#pragma once

// Helpers for widget tests that drive real modal dialogs: the action is
// queued before the command that opens the dialog and runs inside the
// dialog's exec() loop, on the dialog itself. And the keyboard as the
// window system drives it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace quorvane {

// Runs `action` on the next modal dialog as soon as it is open. Polls for
// it a few times, so a dialog that opens after some event processing is
// still found.
inline void WhenModalOpens(std::function<void(QWidget* dialog)> action, int triesLeft = 200) {
  QTimer::singleShot(triesLeft == 200 ? 0 : 10, [action = std::move(action), triesLeft] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr && triesLeft > 0) {
      WhenModalOpens(action, triesLeft - 1);
      return;
    }
    ASSERT_NE(dialog, nullptr) << "no modal dialog opened";
    action(dialog);
  });
}

// Runs `action` once the modal loop of `dialog` has started (exec blocks
// the test until the dialog closes).
inline int ExecWith(QDialog& dialog, std::function<void()> action) {
  QTimer::singleShot(0, &dialog, std::move(action));
  return dialog.exec();
}

// The child of `root` of that type and object name; fails the test when
// there is none.
template <class Widget>
Widget* Child(const QObject* root, const char* name) {
  auto* child = root->findChild<Widget*>(QLatin1String(name));
  EXPECT_NE(child, nullptr) << "no child named " << name;
  return child;
}

// Runs `action` on the user-interface thread as soon as `ready` holds,
// looking every 5 ms: while a command waits for the network, only the
// events its waits let through get there. The look-out goes with `owner`.
inline void WhenReady(QObject* owner, std::function<bool()> ready, std::function<void()> action) {
  auto* timer = new QTimer(owner);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer,
                   [timer, ready = std::move(ready), action = std::move(action)] {
                     if (!ready()) return;
                     timer->stop();
                     timer->deleteLater();
                     action();
                   });
  timer->start();
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
