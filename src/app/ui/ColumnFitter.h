#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <string>
#include <vector>

#include "base/ResultRow.h"

class QHeaderView;
class QTableView;

namespace quorvane {

class ResultsModel;

// Sizes the results table's columns to what they show. No and the four
// counts are as wide as their widest cell (and their caption, with room
// for the sort arrow), never narrower than their design widths; Keywords
// takes the rest of the table's width, or is as wide as its longest
// phrase when that is wider, up to a limit past which a phrase is elided.
//
// The user may drag any column's edge: the column then keeps that width
// (Keywords at least that width) until a double click on the edge gives
// it back to the fitting. UserWidths() and SetUserWidths() carry those
// widths from one run to the next.
//
// Texts are measured only where they change (appended rows, changed
// cells; every shown row again after a delete, a sort or a new filter),
// with a table of character advances for plain ASCII and the font for the
// rest, so that even 100,000 rows are measured in a few milliseconds. The
// widths are applied once per turn of the event loop; resizing the table
// only shares out its width again.
class ColumnFitter final : public QObject {
  Q_OBJECT

 public:
  // Design widths, in column order: the columns' widths at a small font.
  static constexpr std::array<int, kColumnCount> kDesignWidths = {49, 132, 132, 104, 104, 104};

  ColumnFitter(QTableView& table, ResultsModel& model);

  // The widths the user set by dragging, 0 for a fitted column, in column
  // order.
  std::vector<int> UserWidths() const;
  // The user's widths from an earlier run; 0 (or a missing entry) leaves a
  // column fitted.
  void SetUserWidths(const std::vector<int>& widths);

  // Measures every shown row again and applies the widths at once.
  void FitNow();
  // Applies the widths at once if a change is pending.
  void ApplyPending();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Connect();
  void ScheduleApply();
  void RemeasureAll();
  // Widens the measured columns in [firstColumn, lastColumn] to the cells
  // of view rows first..last.
  void Measure(int firstRow, int lastRow, int firstColumn, int lastColumn);
  double TextWidth(const std::string& cell) const;
  void RebuildAdvances();
  // What a cell adds to its text: margins, and the check box in No.
  int CellPadding(int column) const;
  int CaptionWidth(int column) const;
  void Apply();
  void SectionResized(int column, int newWidth);
  void EdgeDoubleClicked(int column);

  QTableView& table_;
  // The table's viewport, kept from the start (see eventFilter).
  QWidget* viewport_;
  QHeaderView& header_;
  ResultsModel& model_;
  QTimer apply_;
  bool remeasure_ = true;
  bool applying_ = false;
  std::array<double, kColumnCount> textWidths_{};
  std::array<int, kColumnCount> userWidths_{};
  std::array<double, 128> advances_{};
  double widestAdvance_ = 0;
};

}  // namespace quorvane
