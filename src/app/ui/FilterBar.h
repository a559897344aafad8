#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QTableView;

namespace quorvane {

class ResultsModel;

// The filter field above the results table, hidden until the Filter
// command (Ctrl+F) opens it. Each keystroke filters the table's rows by
// their phrase; Esc clears the field, closes it and gives the focus back to
// the table. While the filter hides rows, the bar says how many are shown.
class FilterBar final : public QWidget {
  Q_OBJECT

 public:
  FilterBar(ResultsModel& model, QTableView& table, QWidget* parent = nullptr);

  // The Filter command, for the table's context menu.
  QAction* FilterAction() const { return actFilter; }

  // Opens the field (or selects its text when open) and focuses it.
  void Open();
  // Clears the filter, hides the field and focuses the table.
  void Close();

  QLineEdit* Field() const { return edtFilter; }
  QLabel* CountLabel() const { return lblFilterShown; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateCount();

  ResultsModel& model_;
  QTableView& table_;
  QAction* actFilter = nullptr;
  QLineEdit* edtFilter = nullptr;
  QLabel* lblFilterShown = nullptr;
};

}  // namespace quorvane
