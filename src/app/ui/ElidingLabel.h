#pragma once

#include <QLabel>

namespace quorvane {

// A one-line label for a panel that may get less room than its text: the
// text is cut at its end with an ellipsis (the whole of it in the tool tip
// and for screen readers), but never below its first part, which the
// layout always leaves room for.
class ElidingLabel final : public QLabel {
  Q_OBJECT

 public:
  explicit ElidingLabel(QWidget* parent = nullptr);

  // The text, and how much of its start must always show (all of it when
  // `kept` is negative or longer than the text).
  void SetText(const QString& text, int kept = -1);
  // The part of the text that always shows.
  QString KeptText() const { return text().left(kept_); }

  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateToolTip();
  int kept_ = 0;
};

}  // namespace quorvane
