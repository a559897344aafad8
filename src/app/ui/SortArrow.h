#pragma once

#include <QCollator>
#include <QObject>

class QHeaderView;

namespace quorvane {

class ResultsModel;

// The results table's sort arrow. The table is sorted once, on request,
// and never kept sorted: the arrow shows after a sort and goes as soon as
// rows come in, or cells of the sorted column change, so that the table is
// no longer in that order.
class SortArrow final : public QObject {
  Q_OBJECT

 public:
  SortArrow(QHeaderView& header, ResultsModel& model);

  // The table has just been sorted by `column`.
  void Show(int column, bool ascending);
  // The arrow of a sort state brought back (undo, redo): shown only while
  // the rows are still in that order; column -1 takes it away.
  void Restore(int column, bool ascending);
  bool Shown() const;

 private:
  // Takes the arrow away unless view rows first..last, and the row before
  // them, are in the order shown.
  void CheckOrder(int first, int last);
  bool InOrder(int upperRow, int lowerRow) const;

  QHeaderView& header_;
  ResultsModel& model_;
  int column_ = -1;
  bool ascending_ = true;
  // Phrases compare as the sort compares them: by the user's collation,
  // letter case folded.
  QCollator collator_;
};

}  // namespace quorvane
