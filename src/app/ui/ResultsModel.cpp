#include "app/ui/ResultsModel.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <array>
#include <stdexcept>
#include <string>

namespace quorvane {

namespace {

const std::array<const char*, kColumnCount> kCaptions = {"No",     "Keywords", "Searches",
                                                         "Google", "Yahoo",    "Msn"};

// Deleting more runs than this one by one would cost more than resetting.
constexpr std::size_t kMaxRemovalRuns = 32;

}  // namespace

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : store_.Count();
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

bool ResultsModel::Holds(const QModelIndex& index) const {
  return index.isValid() && index.model() == this && index.row() < store_.Count() &&
         index.column() < kColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  if (!Holds(index)) return {};
  if (role == Qt::DisplayRole)
    return QString::fromLocal8Bit(store_.Cell(index.row(), index.column()));
  if (role == Qt::CheckStateRole && index.column() == kColNo)
    return store_.Checked(index.row()) ? Qt::Checked : Qt::Unchecked;
  return {};
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!Holds(index)) return false;
  if (role != Qt::CheckStateRole || index.column() != kColNo) return false;
  SetChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
  return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
  if (!Holds(index)) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == kColNo) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < kColumnCount)
    return QString::fromLatin1(kCaptions[static_cast<std::size_t>(section)]);
  return QAbstractTableModel::headerData(section, orientation, role);
}

void ResultsModel::SetCell(int row, int column, const std::string& text) {
  store_.SetCell(row, column, text);
  const QModelIndex cell = index(row, column);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void ResultsModel::SetChecked(int row, bool checked) {
  store_.SetChecked(row, checked);
  const QModelIndex cell = index(row, kColNo);
  emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void ResultsModel::AppendRows(std::vector<ResultRow> rows) {
  if (rows.empty()) return;
  const int first = store_.Count();
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  store_.Append(std::move(rows));
  endInsertRows();
}

void ResultsModel::Clear() {
  beginResetModel();
  store_.Clear();
  endResetModel();
}

void ResultsModel::SetAllChecked(bool checked) {
  store_.SetAllChecked(checked);
  if (store_.Count() > 0)
    emit dataChanged(index(0, kColNo), index(store_.Count() - 1, kColNo), {Qt::CheckStateRole});
}

void ResultsModel::DeleteChecked() {
  const auto runs = store_.CheckedRuns();
  if (runs.size() > kMaxRemovalRuns) {
    beginResetModel();
    store_.DeleteChecked();
    endResetModel();
    return;
  }
  // The last run first, so the rows of the runs still to come stay put.
  for (const auto& [first, last] : runs) {
    beginRemoveRows({}, first, last);
    store_.EraseRows(first, last - first + 1);
    endRemoveRows();
  }
}

int ResultsModel::RemoveDuplicates() {
  beginResetModel();
  const int removed = store_.RemoveDuplicates();
  endResetModel();
  return removed;
}

void ResultsModel::Sort(int column, bool ascending) {
  if (column < 0 || column >= kColumnCount)
    throw std::out_of_range("results table column " + std::to_string(column) + " does not exist");
  beginResetModel();
  if (column == kColKeywords) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One key per row and sort, instead of a collation per comparison.
    // Folding the case first keeps letter case out of the keys also for
    // the C locale, where QCollator's keys are the plain code units.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(store_.Count()));
    for (int row = 0; row < store_.Count(); ++row) {
      keys.push_back(
          collator.sortKey(QString::fromLocal8Bit(store_.Cell(row, kColKeywords)).toCaseFolded()));
    }
    store_.SortByKeys(
        keys, [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b); },
        ascending);
  } else {
    store_.SortNumeric(column, ascending);
  }
  endResetModel();
}

}  // namespace quorvane
