#include "app/ui/ElidingLabel.h"

#include <QPainter>
#include <QStyle>

namespace quorvane {

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
}

void ElidingLabel::SetText(const QString& text, int kept) {
  kept_ = kept < 0 || kept > text.size() ? static_cast<int>(text.size()) : kept;
  setText(text);
  updateGeometry();
  UpdateToolTip();
}

QSize ElidingLabel::minimumSizeHint() const {
  QSize size = QLabel::minimumSizeHint();
  const QMargins margins = contentsMargins();
  const int frame = 2 * frameWidth();
  size.setWidth(fontMetrics().horizontalAdvance(KeptText() + QChar(0x2026)) + margins.left() +
                margins.right() + frame + 2 * margin());
  return size;
}

void ElidingLabel::paintEvent(QPaintEvent* event) {
  const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  if (fontMetrics().horizontalAdvance(text()) <= area.width()) {
    QLabel::paintEvent(event);
    return;
  }
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
  style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                        palette(), isEnabled(), shown, foregroundRole());
}

void ElidingLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  UpdateToolTip();
}

void ElidingLabel::UpdateToolTip() {
  const bool cut = fontMetrics().horizontalAdvance(text()) > contentsRect().width() - 2 * margin();
  setToolTip(cut ? text() : QString());
}

}  // namespace quorvane
