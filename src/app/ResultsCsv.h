#pragma once

#include <string>
#include <vector>

#include "app/ResultStore.h"

namespace quorvane {

// The CSV text of the whole results table, in table order, ticked or not:
// the header line "No","Keywords","Searches","Google","Yahoo","Msn", then
// one line per row. Every field is quoted, a double quote inside a cell is
// doubled, and every line ends with CR LF. A cell that a spreadsheet would
// take for a formula gets an apostrophe in front (see FormulaGuard.h).
// Cell bytes are written unchanged otherwise (commas in counts included).
std::string BuildResultsCsv(const ResultStore& rows);
// The same for some rows only (indexes into `rows`, written in the order
// given), under the same header.
std::string BuildResultsCsv(const ResultStore& rows, const std::vector<int>& which);

// The same CSV built a piece at a time: the header line, then one row's
// line appended to `out`.
void AppendResultsCsvHeader(std::string& out);
void AppendResultsCsvLine(std::string& out, const ResultRow& row);

// The same rows as tab-separated text for pasting into a spreadsheet: the
// header line No, Keywords, Searches, Google, Yahoo, Msn, then a line per
// row, each ending with LF. A cell holding a tab, a line break or a double
// quote is quoted with the quote doubled; a cell a spreadsheet would take
// for a formula gets its apostrophe, as in the CSV; other cells are written
// as they are.
std::string BuildResultsTabText(const ResultStore& rows, const std::vector<int>& which);

}  // namespace quorvane
