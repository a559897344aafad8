#include "app/ui/WorkProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QWidget>
#include <algorithm>

namespace quorvane {

namespace {

// The window is served at most once per frame.
constexpr qint64 kFrameMs = 16;
constexpr int kSteps = 1000;

}  // namespace

WorkProgress::WorkProgress(QWidget* window, QString label)
    : window_(window), label_(std::move(label)), shown_(window != nullptr && window->isVisible()) {
  started_.start();
  lastPump_.start();
}

WorkProgress::~WorkProgress() = default;

ReadProgress WorkProgress::Callback() {
  return [this](double done) { return Step(done); };
}

bool WorkProgress::Step(double done) {
  if (cancelled_) return false;
  if (lastPump_.elapsed() < kFrameMs) return true;
  lastPump_.start();
  if (!dialog_ && started_.elapsed() >= kShowAfterMs) {
    dialog_ =
        std::make_unique<QProgressDialog>(label_, QStringLiteral("Cancel"), 0, kSteps, window_);
    dialog_->setObjectName(QStringLiteral("dlgWorkProgress"));
    dialog_->setWindowTitle(QStringLiteral("Please wait"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->show();
  }
  if (dialog_) {
    dialog_->setValue(std::clamp(static_cast<int>(done * kSteps), 0, kSteps - 1));
    // The dialog is modal: the window's input waits, the dialog's does not.
    QCoreApplication::processEvents();
    if (dialog_->wasCanceled()) cancelled_ = true;
  } else {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  // A window closed meanwhile wants no more of the work.
  if (window_.isNull() || (shown_ && !window_->isVisible())) cancelled_ = true;
  return !cancelled_;
}

}  // namespace quorvane
