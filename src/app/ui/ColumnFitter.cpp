#include "app/ui/ColumnFitter.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>
#include <cmath>

#include "app/ui/ResultsModel.h"
#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

// A phrase longer than this many average characters is elided rather than
// widening its column further; longer cells are not measured at all.
constexpr int kWidestCellChars = 100;
constexpr std::size_t kMeasuredBytes = 4 * kWidestCellChars;

// The sum of advances leaves out kerning and may round the other way than
// the view's own layout: a pixel of room keeps the last character whole.
constexpr int kSlack = 1;

}  // namespace

ColumnFitter::ColumnFitter(QTableView& table, ResultsModel& model)
    : QObject(&table),
      table_(table),
      viewport_(table.viewport()),
      header_(*table.horizontalHeader()),
      model_(model) {
  apply_.setSingleShot(true);
  apply_.setInterval(0);
  connect(&apply_, &QTimer::timeout, this, &ColumnFitter::Apply);
  header_.setSectionResizeMode(QHeaderView::Interactive);
  header_.setStretchLastSection(false);
  for (int c = 0; c < kColumnCount; ++c)
    header_.resizeSection(c, kDesignWidths[static_cast<std::size_t>(c)]);
  RebuildAdvances();
  Connect();
  table_.installEventFilter(this);
  viewport_->installEventFilter(this);
  ScheduleApply();
}

void ColumnFitter::Connect() {
  connect(&model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) {
            Measure(first, last, 0, kColumnCount - 1);
            ScheduleApply();
          });
  connect(
      &model_, &QAbstractItemModel::dataChanged, this,
      [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
        // Ticking rows changes no text.
        if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole)) return;
        Measure(topLeft.row(), bottomRight.row(), topLeft.column(), bottomRight.column());
        ScheduleApply();
      });
  // After these a column may have lost its widest cell.
  const auto remeasure = [this] {
    remeasure_ = true;
    ScheduleApply();
  };
  connect(&model_, &QAbstractItemModel::rowsRemoved, this, remeasure);
  connect(&model_, &QAbstractItemModel::modelReset, this, remeasure);
  connect(&model_, &QAbstractItemModel::layoutChanged, this, remeasure);

  connect(&header_, &QHeaderView::sectionResized, this,
          [this](int column, int, int newWidth) { SectionResized(column, newWidth); });
  // A double click on a column's edge hands it back to the fitting; the
  // view's own answer to it would measure the rows once more, its way.
  disconnect(&header_, &QHeaderView::sectionHandleDoubleClicked, &table_, nullptr);
  connect(&header_, &QHeaderView::sectionHandleDoubleClicked, this,
          &ColumnFitter::EdgeDoubleClicked);
}

std::vector<int> ColumnFitter::UserWidths() const {
  return {userWidths_.begin(), userWidths_.end()};
}

void ColumnFitter::SetUserWidths(const std::vector<int>& widths) {
  for (std::size_t c = 0; c < userWidths_.size(); ++c)
    userWidths_[c] = c < widths.size() ? std::max(0, widths[c]) : 0;
  ScheduleApply();
}

void ColumnFitter::FitNow() {
  remeasure_ = true;
  apply_.stop();
  Apply();
}

void ColumnFitter::ApplyPending() {
  if (!apply_.isActive()) return;
  apply_.stop();
  Apply();
}

bool ColumnFitter::eventFilter(QObject* watched, QEvent* event) {
  // Only pointers are compared here: the filter still sees events while the
  // table is being destroyed, when its members may no longer be called.
  if (watched == viewport_ && event->type() == QEvent::Resize) {
    ScheduleApply();  // only the spare width changes
  } else if (watched == &table_ &&
             (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)) {
    RebuildAdvances();
    remeasure_ = true;
    ScheduleApply();
  }
  return QObject::eventFilter(watched, event);
}

void ColumnFitter::ScheduleApply() {
  if (!apply_.isActive()) apply_.start();
}

void ColumnFitter::RebuildAdvances() {
  const QFontMetricsF metrics(table_.font());
  widestAdvance_ = 0;
  for (std::size_t c = 0; c < advances_.size(); ++c) {
    // Control bytes are drawn as blanks at most.
    const QChar shown = c < 0x20 || c == 0x7f ? QChar(u' ') : QChar(static_cast<char16_t>(c));
    advances_[c] = metrics.horizontalAdvance(shown);
    widestAdvance_ = std::max(widestAdvance_, advances_[c]);
  }
}

double ColumnFitter::TextWidth(const std::string& cell) const {
  if (cell.size() > kMeasuredBytes) return kMeasuredBytes * widestAdvance_;
  double width = 0;
  for (const char byte : cell) {
    const auto b = static_cast<unsigned char>(byte);
    if (b >= advances_.size())
      return QFontMetricsF(table_.font()).horizontalAdvance(FromLocal(cell));
    width += advances_[b];
  }
  return width;
}

void ColumnFitter::Measure(int firstRow, int lastRow, int firstColumn, int lastColumn) {
  firstRow = std::max(firstRow, 0);
  lastRow = std::min(lastRow, model_.rowCount() - 1);
  firstColumn = std::max(firstColumn, 0);
  lastColumn = std::min(lastColumn, kColumnCount - 1);
  const ResultStore& store = model_.Store();
  for (int row = firstRow; row <= lastRow; ++row) {
    const int storeRow = model_.StoreRow(row);
    for (int c = firstColumn; c <= lastColumn; ++c) {
      double& widest = textWidths_[static_cast<std::size_t>(c)];
      widest = std::max(widest, TextWidth(store.Cell(storeRow, c)));
    }
  }
}

void ColumnFitter::RemeasureAll() {
  remeasure_ = false;
  textWidths_.fill(0);
  Measure(0, model_.rowCount() - 1, 0, kColumnCount - 1);
}

int ColumnFitter::CellPadding(int column) const {
  // What the style asks for a cell of one character, less the character:
  // margins, and the check box in front of No. Asked of a made-up cell, so
  // that a huge cell in the table is never laid out for it.
  QStyleOptionViewItem option;
  option.initFrom(&table_);
  option.font = table_.font();
  option.fontMetrics = table_.fontMetrics();
  option.widget = &table_;
  option.text = QStringLiteral("0");
  option.features = QStyleOptionViewItem::HasDisplay;
  if (column == kColNo) {
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = Qt::Unchecked;
  }
  const int hint =
      table_.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &table_).width();
  return std::max(0, hint - table_.fontMetrics().horizontalAdvance(option.text));
}

int ColumnFitter::CaptionWidth(int column) const {
  // Room for the sort arrow too, whether it shows now or not, so that a
  // sort never makes a caption jump.
  int width = header_.sectionSizeHint(column);
  if (!header_.isSortIndicatorShown())
    width += header_.sizeHint().height() + header_.style()->pixelMetric(QStyle::PM_HeaderMargin);
  return width;
}

void ColumnFitter::Apply() {
  if (remeasure_) RemeasureAll();
  const int widestCell =
      static_cast<int>(std::ceil(kWidestCellChars * table_.fontMetrics().averageCharWidth()));
  std::array<int, kColumnCount> widths{};
  int others = 0;
  for (int c = 0; c < kColumnCount; ++c) {
    const auto at = static_cast<std::size_t>(c);
    const int text = std::min(static_cast<int>(std::ceil(textWidths_[at])), widestCell);
    const int fitted = std::max(
        {kDesignWidths[at], CaptionWidth(c), text > 0 ? text + CellPadding(c) + kSlack : 0});
    widths[at] = userWidths_[at] > 0 ? userWidths_[at] : fitted;
    if (c != kColKeywords) others += widths[at];
  }
  // Keywords takes what the others leave of the table's width.
  int& keywords = widths[kColKeywords];
  keywords = std::max(keywords, table_.viewport()->width() - others);

  applying_ = true;
  for (int c = 0; c < kColumnCount; ++c) {
    const int width = widths[static_cast<std::size_t>(c)];
    if (header_.sectionSize(c) != width) header_.resizeSection(c, width);
  }
  applying_ = false;
}

void ColumnFitter::SectionResized(int column, int newWidth) {
  if (applying_ || column < 0 || column >= kColumnCount) return;
  userWidths_[static_cast<std::size_t>(column)] = newWidth;
  ScheduleApply();
}

void ColumnFitter::EdgeDoubleClicked(int column) {
  if (column < 0 || column >= kColumnCount) return;
  userWidths_[static_cast<std::size_t>(column)] = 0;
  ScheduleApply();
}

}  // namespace quorvane
