#pragma once

#include <QPointer>
#include <QWidget>

#include "app/Messages.h"

// Message boxes that speak only while their window is open. A request cut
// short because the main window is closing ends through its failure path;
// it must not then put up boxes (or ask questions) after the window has
// gone. A question asked of a closed window counts as Cancel.
class OpenWindowMessages : public Messages {
 public:
  OpenWindowMessages(Messages& target, QWidget* window) : target_(target), window_(window) {}

  void Information(const std::string& text) override {
    if (Open()) target_.Information(text);
  }
  bool Confirm(const std::string& text) override { return Open() && target_.Confirm(text); }
  void Warning(const std::string& text) override {
    if (Open()) target_.Warning(text);
  }

  // True while the window (if there is one) has not been closed.
  bool Open() const { return !watching_ || (window_ && window_->isVisible()); }

 private:
  Messages& target_;
  QPointer<QWidget> window_;
  bool watching_ = window_ != nullptr;
};
