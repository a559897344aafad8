#pragma once

#include <QPushButton>
#include <QSize>

namespace quorvane {

// A push button with a design size that grows to show its caption whole in
// the user's font: at small fonts it has exactly the design size, at
// larger ones (or a wider caption) it is as large as the caption needs,
// with the style's frame and margin around it. It keeps that size in any
// layout (a fixed size policy) and follows later font changes.
class FitButton : public QPushButton {
  Q_OBJECT

 public:
  FitButton(const QString& caption, QSize designSize, QWidget* parent = nullptr);

  QSize DesignSize() const { return designSize_; }
  void SetDesignSize(QSize size);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 private:
  QSize designSize_;
};

}  // namespace quorvane
