#include "base/ui/DesignSize.h"

#include <QLayout>
#include <QWidget>
#include <algorithm>

namespace quorvane {

void FixSizeToContents(QWidget& window, QSize designSize) {
  QSize size = designSize;
  if (QLayout* layout = window.layout()) {
    size = size.expandedTo(layout->totalSizeHint());
    if (layout->hasHeightForWidth())
      size.setHeight(std::max(size.height(), layout->totalHeightForWidth(size.width())));
  }
  window.setFixedSize(size);
  // Places the parts now, so the window is whole before it first shows.
  if (QLayout* layout = window.layout()) layout->activate();
}

}  // namespace quorvane
