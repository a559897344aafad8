#pragma once

#include <string_view>

#include "app/ResultsLimits.h"
#include "app/ResultsText.h"

namespace quorvane {

// Reads the first sheet of an Excel workbook (.xlsx: the one Save Results
// writes, or a spreadsheet's) as results, with the header rules of a CSV
// text (see ResultsTextBuilder): the six-column header in any order makes
// a table, a single column a list of phrases. Rows count as the sheet
// numbers them ("row 3"); empty rows are skipped and the empty cells a
// sheet leaves out at the end of a row are empty cells.
//
// Cells come as the sheet holds them: text (shared or inline) as UTF-8,
// numbers as their digits (a whole number as an integer, with thousands
// separators when the cell's format groups them, as Save Results writes
// counts), TRUE and FALSE, error values as their text. A formula gives
// the value the sheet keeps for it.
//
// The ZIP container is read by libzip and the XML by expat; a part that
// unpacks past kMaxWorkbookPartBytes, a document type declaration (no
// workbook has one), damaged data or XML refuse the file as a whole with
// a clause naming the part.
ResultsFile ParseResultsWorkbook(std::string_view zipBytes, const ReadProgress& progress = {});

}  // namespace quorvane
