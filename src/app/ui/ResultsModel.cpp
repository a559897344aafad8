#include "app/ui/ResultsModel.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <algorithm>
#include <array>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>

#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

const std::array<const char*, kColumnCount> kCaptions = {"No",     "Keywords", "Searches",
                                                         "Google", "Yahoo",    "Msn"};

// Counts stand right-aligned, as numbers do in a spreadsheet, and so do
// their captions; No and the phrases read from the left.
QVariant CellAlignment(int column) {
  const bool count = column >= kColSearches;
  return QVariant::fromValue(
      Qt::Alignment((count ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
}

// Deleting more runs than this one by one would cost more than resetting.
constexpr std::size_t kMaxRemovalRuns = 32;

// No column is wider than this many characters on any screen. A longer
// cell is cut here before the view lays it out: laying out a cell of
// megabytes on every repaint would freeze the window.
constexpr std::size_t kMaxShownBytes = 1000;

QString ShownText(const std::string& cell) {
  if (cell.size() <= kMaxShownBytes) return FromLocal(cell);
  std::size_t cut = kMaxShownBytes;
  // Not in the middle of a UTF-8 sequence.
  while (cut > 0 && (static_cast<unsigned char>(cell[cut]) & 0xC0) == 0x80) --cut;
  return FromLocal(std::string_view(cell).substr(0, cut)) + QChar(0x2026);
}

}  // namespace

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ShownCount();
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

bool ResultsModel::Holds(const QModelIndex& index) const {
  return index.isValid() && index.model() == this && index.row() < ShownCount() &&
         index.column() < kColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  if (!Holds(index)) return {};
  const int row = StoreRow(index.row());
  if (role == Qt::DisplayRole) return ShownText(store_.Cell(row, index.column()));
  if (role == Qt::CheckStateRole && index.column() == kColNo)
    return store_.Checked(row) ? Qt::Checked : Qt::Unchecked;
  if (role == Qt::TextAlignmentRole) return CellAlignment(index.column());
  return {};
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!Holds(index)) return false;
  if (role != Qt::CheckStateRole || index.column() != kColNo) return false;
  SetChecked(StoreRow(index.row()), value.value<Qt::CheckState>() == Qt::Checked);
  return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
  // A drop goes to the table as a whole, wherever it lands.
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  if (!Holds(index)) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == kColNo) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < kColumnCount)
    return QString::fromLatin1(kCaptions[static_cast<std::size_t>(section)]);
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && section >= 0 &&
      section < kColumnCount)
    return CellAlignment(section);
  return QAbstractTableModel::headerData(section, orientation, role);
}

QStringList ResultsModel::mimeTypes() const {
  return {QStringLiteral("text/uri-list"), QStringLiteral("text/plain")};
}

Qt::DropActions ResultsModel::supportedDropActions() const {
  // Never a move: the source of a dropped file must keep it.
  return Qt::CopyAction;
}

bool ResultsModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                   const QModelIndex&) const {
  return data != nullptr && action == Qt::CopyAction && dropTarget_ != nullptr &&
         dropTarget_->CanTakeDrop(*data);
}

bool ResultsModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  dropTarget_->TakeDrop(*data);
  return true;
}

int ResultsModel::StoreRow(int viewRow) const {
  if (!FilterActive()) return viewRow;
  if (viewRow < 0 || static_cast<std::size_t>(viewRow) >= shown_.size())
    throw std::out_of_range("shown row " + std::to_string(viewRow) + " does not exist");
  return shown_[static_cast<std::size_t>(viewRow)];
}

int ResultsModel::ViewRow(int storeRow) const {
  if (!FilterActive()) return storeRow;
  const auto at = std::lower_bound(shown_.begin(), shown_.end(), storeRow);
  return at != shown_.end() && *at == storeRow ? static_cast<int>(at - shown_.begin()) : -1;
}

std::vector<int> ResultsModel::ShownRows() const {
  if (FilterActive()) return shown_;
  std::vector<int> all(static_cast<std::size_t>(store_.Count()));
  std::iota(all.begin(), all.end(), 0);
  return all;
}

ResultStore ResultsModel::ShownStore() const {
  if (!FilterActive()) return store_;
  ResultStore shown;
  for (const int row : shown_) shown.Add(store_.Row(row));
  return shown;
}

void ResultsModel::Refilter() {
  shown_.clear();
  if (!FilterActive()) return;
  for (int row = 0; row < store_.Count(); ++row)
    if (filter_.Matches(store_.Cell(row, kColKeywords))) shown_.push_back(row);
}

void ResultsModel::SetFilter(const std::string& text) {
  KeywordFilter filter(text);
  if (filter.Required() == filter_.Required() && filter.Excluded() == filter_.Excluded()) return;
  beginResetModel();
  filter_ = std::move(filter);
  Refilter();
  endResetModel();
}

void ResultsModel::ChangeBegins() {
  if (sink_ == nullptr || stepStarted_) return;
  sink_->StepStarts();
  if (stepDepth_ > 0) stepStarted_ = true;
}

void ResultsModel::Keep(TableEdit edit) {
  if (sink_ == nullptr || edit.Empty()) return;
  if (stepDepth_ > 0) {
    step_.Then(std::move(edit));
    return;
  }
  sink_->StepMade(std::move(edit));
}

void ResultsModel::BeginStep(const std::string& name) {
  if (stepDepth_++ > 0) return;
  step_ = TableEdit();
  step_.SetName(name);
  stepStarted_ = false;
}

void ResultsModel::EndStep() {
  if (stepDepth_ == 0 || --stepDepth_ > 0) return;
  stepStarted_ = false;
  TableEdit step = std::exchange(step_, TableEdit());
  if (sink_ != nullptr && !step.Empty()) sink_->StepMade(std::move(step));
}

void ResultsModel::Undo(TableEdit& edit) {
  Apply(edit, &TableEdit::Undo);
}

void ResultsModel::Redo(TableEdit& edit) {
  Apply(edit, &TableEdit::Redo);
}

void ResultsModel::Apply(TableEdit& edit, void (TableEdit::*direction)(ResultStore&)) {
  if (!edit.MovesRows()) {
    // Only cells: every row keeps its place and the view its selection.
    (edit.*direction)(store_);
    if (ShownCount() > 0)
      emit dataChanged(index(0, 0), index(ShownCount() - 1, kColumnCount - 1), {Qt::DisplayRole});
  } else {
    beginResetModel();
    (edit.*direction)(store_);
    Refilter();
    endResetModel();
    ++orderRevision_;
  }
  emit TableChanged();
}

void ResultsModel::SetCell(int row, int column, const std::string& text) {
  const std::string& before = store_.Cell(row, column);
  if (before == text) return;
  ChangeBegins();
  if (sink_ != nullptr) {
    if (stepDepth_ > 0)
      step_.ThenCell(row, column, before);
    else
      Keep(TableEdit::CellWritten(row, column, before));
  }
  store_.SetCell(row, column, text);
  emit TableChanged();
  // A changed phrase keeps its place until the filter is applied again.
  const int viewRow = ViewRow(row);
  if (viewRow < 0) return;
  const QModelIndex cell = index(viewRow, column);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void ResultsModel::SetChecked(int row, bool checked) {
  store_.SetChecked(row, checked);
  emit TableChanged();
  const int viewRow = ViewRow(row);
  if (viewRow < 0) return;
  const QModelIndex cell = index(viewRow, kColNo);
  emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void ResultsModel::AppendRows(std::vector<ResultRow> rows) {
  if (rows.empty()) return;
  ChangeBegins();
  const int count = static_cast<int>(rows.size());
  if (FilterActive()) {
    const int base = store_.Count();
    std::vector<int> matching;
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (filter_.Matches(rows[i].cells[kColKeywords]))
        matching.push_back(base + static_cast<int>(i));
    store_.Append(std::move(rows));
    if (!matching.empty()) {
      const int first = static_cast<int>(shown_.size());
      beginInsertRows({}, first, first + static_cast<int>(matching.size()) - 1);
      shown_.insert(shown_.end(), matching.begin(), matching.end());
      endInsertRows();
    }
  } else {
    const int first = store_.Count();
    beginInsertRows({}, first, first + count - 1);
    store_.Append(std::move(rows));
    endInsertRows();
  }
  Keep(TableEdit::Appended(count));
  emit TableChanged();
}

void ResultsModel::Clear() {
  std::vector<int> all(static_cast<std::size_t>(store_.Count()));
  std::iota(all.begin(), all.end(), 0);
  RemoveRows(all);
}

void ResultsModel::SetAllChecked(bool checked) {
  if (FilterActive()) {
    for (const int row : shown_) store_.SetChecked(row, checked);
  } else {
    store_.SetAllChecked(checked);
  }
  if (ShownCount() > 0)
    emit dataChanged(index(0, kColNo), index(ShownCount() - 1, kColNo), {Qt::CheckStateRole});
  emit TableChanged();
}

void ResultsModel::DeleteChecked() {
  // Under a filter hidden rows stay, ticked or not: only what the user sees
  // goes.
  std::vector<int> doomed;
  for (const int row : ShownRows())
    if (store_.Checked(row)) doomed.push_back(row);
  RemoveRows(doomed);
}

void ResultsModel::RemoveRows(const std::vector<int>& rows) {
  if (rows.empty()) return;
  ChangeBegins();
  // The runs of neighbouring rows, the last run first, so that removing
  // one never shifts a run still to come.
  std::vector<std::pair<int, int>> runs;
  for (std::size_t i = rows.size(); i-- > 0;) {
    if (!runs.empty() && runs.back().first == rows[i] + 1)
      runs.back().first = rows[i];
    else
      runs.emplace_back(rows[i], rows[i]);
  }
  std::vector<ResultRow> taken;
  if (FilterActive() || runs.size() > kMaxRemovalRuns) {
    beginResetModel();
    taken = store_.TakeRowsAt(rows);
    Refilter();
    endResetModel();
  } else {
    std::vector<std::vector<ResultRow>> pieces;
    pieces.reserve(runs.size());
    for (const auto& [first, last] : runs) {
      beginRemoveRows({}, first, last);
      pieces.push_back(store_.TakeRows(first, last - first + 1));
      endRemoveRows();
    }
    if (pieces.size() == 1) {
      taken = std::move(pieces.front());
    } else {
      taken.reserve(rows.size());
      for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece)
        std::move(piece->begin(), piece->end(), std::back_inserter(taken));
    }
  }
  ++orderRevision_;
  Keep(TableEdit::Removed(rows, std::move(taken)));
  emit TableChanged();
}

int ResultsModel::RemoveDuplicates() {
  const std::vector<int> duplicates = store_.DuplicateRows();
  RemoveRows(duplicates);
  return static_cast<int>(duplicates.size());
}

void ResultsModel::Sort(int column, bool ascending) {
  if (column < 0 || column >= kColumnCount)
    throw std::out_of_range("results table column " + std::to_string(column) + " does not exist");
  ChangeBegins();
  beginResetModel();
  std::vector<std::size_t> order;
  if (column == kColKeywords) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One key per row and sort, instead of a collation per comparison.
    // Folding the case first keeps letter case out of the keys also for
    // the C locale, where QCollator's keys are the plain code units.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(store_.Count()));
    for (int row = 0; row < store_.Count(); ++row) {
      keys.push_back(collator.sortKey(FromLocal(store_.Cell(row, kColKeywords)).toCaseFolded()));
    }
    order = store_.SortByKeys(
        keys, [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b); },
        ascending);
  } else {
    order = store_.SortNumeric(column, ascending);
  }
  Refilter();
  endResetModel();
  ++orderRevision_;
  bool moved = false;
  for (std::size_t i = 0; i < order.size() && !moved; ++i) moved = order[i] != i;
  // A sort that moved no row is no step.
  if (moved)
    Keep(TableEdit::Reordered(
        std::move(order), std::string("Sort by ") + kCaptions[static_cast<std::size_t>(column)]));
  emit TableChanged();
}

}  // namespace quorvane
