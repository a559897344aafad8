#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <memory>

#include "app/ResultsLimits.h"

class QProgressDialog;
class QWidget;

namespace quorvane {

// Keeps the window answering while a big file or paste is read on the one
// thread: the reader's progress callback serves the window's events at
// most once a frame. Once the work has taken kShowAfterMs, a modal
// progress dialog with "Cancel" shows how far it is; until then the
// window draws and answers the system (and screen readers) but takes no
// input, so no command can run in the middle of the read.
class WorkProgress {
 public:
  static constexpr int kShowAfterMs = 400;

  WorkProgress(QWidget* window, QString label);
  ~WorkProgress();
  WorkProgress(const WorkProgress&) = delete;
  WorkProgress& operator=(const WorkProgress&) = delete;

  // The callback for a reader; it returns false once the user cancelled
  // (or the window was closed).
  ReadProgress Callback();
  bool Cancelled() const { return cancelled_; }

 private:
  bool Step(double done);

  QPointer<QWidget> window_;
  QString label_;
  bool shown_;  // the window was on screen when the work began
  QElapsedTimer started_;
  QElapsedTimer lastPump_;
  std::unique_ptr<QProgressDialog> dialog_;
  bool cancelled_ = false;
};

}  // namespace quorvane
