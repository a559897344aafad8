#include "publisher/ui/OpenWindowMessages.h"

#include <QEvent>

namespace quorvane {

OpenWindowMessages::OpenWindowMessages(Messages& target, QWidget* window)
    : target_(target), window_(window), watching_(window != nullptr) {
  if (window) window->installEventFilter(this);
}

void OpenWindowMessages::Information(const std::string& text) {
  if (Open()) target_.Information(text);
}

bool OpenWindowMessages::Confirm(const std::string& text) {
  return Open() && target_.Confirm(text);
}

void OpenWindowMessages::Warning(const std::string& text) {
  if (Open()) target_.Warning(text);
}

Messages::Choice OpenWindowMessages::Ask(const std::string& text, const std::string& go,
                                         const std::string& discard, const std::string& cancel) {
  return Open() ? target_.Ask(text, go, discard, cancel) : Choice::Cancel;
}

bool OpenWindowMessages::Open() const {
  return !watching_ || (window_ && !closed_);
}

bool OpenWindowMessages::eventFilter(QObject* watched, QEvent* event) {
  // Minimising hides a window spontaneously; only the program's own hiding
  // (closing) counts.
  if (watched == window_ && !event->spontaneous()) {
    if (event->type() == QEvent::Hide) closed_ = true;
    if (event->type() == QEvent::Show) closed_ = false;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quorvane
