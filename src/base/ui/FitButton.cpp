#include "base/ui/FitButton.h"

#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace quorvane {

FitButton::FitButton(const QString& caption, QSize designSize, QWidget* parent)
    : QPushButton(caption, parent), designSize_(designSize) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void FitButton::SetDesignSize(QSize size) {
  designSize_ = size;
  updateGeometry();
}

QSize FitButton::sizeHint() const {
  ensurePolished();
  QStyleOptionButton option;
  initStyleOption(&option);
  // The style draws the caption centred in the button less its frame (and
  // the default button's ring): that area holds the caption and a margin.
  int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
  if (option.features & QStyleOptionButton::AutoDefaultButton)
    frame += style()->pixelMetric(QStyle::PM_ButtonDefaultIndicator, &option, this);
  const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
  QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
  if (!icon().isNull()) {
    caption.rwidth() += iconSize().width() + 4;
    caption.setHeight(std::max(caption.height(), iconSize().height()));
  }
  const QSize needed(caption.width() + 2 * frame + margin, caption.height() + 2 * frame + 2);
  return needed.expandedTo(designSize_);
}

QSize FitButton::minimumSizeHint() const {
  return sizeHint();
}

}  // namespace quorvane
