#pragma once

#include <vector>

class QTableView;

namespace quorvane {

class ResultsModel;

// The shown rows whose check box is ticked, in table order.
std::vector<int> TickedRows(const ResultsModel& model);

// The store rows highlighted in the table (selected with the mouse or with
// Shift and the arrows), in table order.
std::vector<int> HighlightedRows(const QTableView& table, const ResultsModel& model);

// The rows a command on "the selected rows" acts on: the shown rows whose
// check box is ticked or, when none is ticked, the highlighted rows. In
// table order; empty when the user chose none.
std::vector<int> ChosenRows(const QTableView& table, const ResultsModel& model);

}  // namespace quorvane
