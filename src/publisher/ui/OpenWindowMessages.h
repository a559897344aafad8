#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "base/Messages.h"

namespace quorvane {

// Message boxes that speak only while their window is open. A request cut
// short because the main window is closing ends through its failure path;
// it must not then put up boxes (or ask questions) after the window has
// gone. A question asked of a closed window counts as Cancel. A window
// that has not been shown yet counts as open.
class OpenWindowMessages : public QObject, public Messages {
  Q_OBJECT

 public:
  OpenWindowMessages(Messages& target, QWidget* window);

  void Information(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void Warning(const std::string& text) override;
  Choice Ask(const std::string& text, const std::string& go, const std::string& discard,
             const std::string& cancel) override;

  bool Open() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Messages& target_;
  QPointer<QWidget> window_;
  bool watching_;
  bool closed_ = false;
};

}  // namespace quorvane
