#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/ResultsLimits.h"
#include "base/ResultRow.h"

namespace quorvane {

// A results table or a list of phrases as read from a file, a paste or a
// workbook sheet, before it goes into the table.
struct ResultsText {
  // The rows found, in order. For a table, every cell but No comes from the
  // text (the No cell is kept but is renumbered when appended); for a list
  // of phrases only Keywords is filled.
  std::vector<ResultRow> rows;
  // True when the first record is the six-column header (also for a text
  // that turns out bad further on).
  bool table = false;
  // The field separator of a CSV text (',', ';' or a tab).
  char separator = ',';
  // 0 when the whole text is good; else the line (from 1) where the first
  // bad record starts, and what is wrong with it, as a clause that follows
  // "line N " ("has 4 fields, the header has 6"). A sheet counts rows
  // instead of lines: `place` names which.
  int badLine = 0;
  std::string problem;
  std::string_view place = "line";
  // Set when the text stops at a NUL byte that was not taken for a sign of
  // a binary file: the lines before it were read, and this many of them.
  int linesBeforeNul = -1;
  // The reader was cancelled through its progress callback; nothing is in
  // `rows`.
  bool cancelled = false;

  bool ok() const { return badLine == 0; }
};

// A file read as results: its text, or why it was refused as a whole.
struct ResultsFile {
  ResultsText text;
  // False when the file is refused as a whole (it cannot be opened, it is
  // too large, a picture, a damaged workbook); `problem` then says why, as
  // a clause that follows the file's name ("cannot be opened: Permission
  // denied", "is a PNG picture, not a results table or a list of
  // phrases").
  bool readable = true;
  std::string problem;
};

// The column names of the results table, the header of its files.
inline constexpr std::array<std::string_view, kColumnCount> kResultColumnNames = {
    "No", "Keywords", "Searches", "Google", "Yahoo", "Msn"};

// Turns records (the fields of a CSV line, the cells of a sheet row) into
// rows. The first record decides: the six-column header (any order and
// letter case; columns are mapped by name) makes a table, a record of one
// field a list of phrases; anything else is bad. Every later record must
// have the first one's width. The limits of ResultsLimits.h hold: no cell
// longer than kMaxCellBytes, no more than kMaxResultRows rows. A bad
// record ends the text and drops the rows, so that a bad text adds
// nothing.
class ResultsTextBuilder {
 public:
  struct Form {
    // "line" for a text, "row" for a sheet.
    std::string_view place = "line";
    // "fields" for a text, "cells" for a sheet.
    std::string_view parts = "fields";
    // How the separator is named in a message ("" for a comma, which goes
    // without saying; "semicolons", "tabs").
    std::string_view separatorName;
    // A sheet leaves out empty cells at the end of a row: a shorter row is
    // filled up with empty cells instead of being bad.
    bool fillShortRecords = false;
    // Texts written by Save Results or Copy carry an apostrophe in front of
    // a cell a spreadsheet would take for a formula; a table read from a
    // text loses it again (a workbook's cells are exact).
    bool unguardCells = true;
    // The most rows the text may hold.
    std::size_t maxRows = kMaxResultRows;
  };

  explicit ResultsTextBuilder(Form form);

  // Takes the next record, which starts on `line`; its fields may be moved
  // from. False once the text is bad (this record or an earlier one).
  bool Add(std::vector<std::string>& fields, int line);
  // Makes room for about this many rows at once: a big table then fills
  // its memory once instead of moving to ever larger blocks.
  void Expect(std::size_t rows);
  // Marks the text bad at `line`.
  void Fail(int line, std::string problem);
  bool Bad() const { return text_.badLine != 0; }
  bool Table() const { return text_.table; }
  std::size_t RowCount() const { return text_.rows.size(); }

  ResultsText Finish();

 private:
  bool First(std::vector<std::string>& fields, int line);
  bool CellsFit(const std::vector<std::string>& fields, int line);

  Form form_;
  ResultsText text_;
  bool started_ = false;
  std::array<int, kColumnCount> columns_{};  // column of each header field
};

// The problem clause of a cell past the limit, shared by every reader.
std::string CellTooLongProblem();

}  // namespace quorvane
