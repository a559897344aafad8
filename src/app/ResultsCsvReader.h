#pragma once

#include <string>
#include <string_view>

#include "app/ResultsLimits.h"
#include "app/ResultsText.h"

namespace quorvane {

// Reading a results table back from text: the CSV that Save Results
// writes, any CSV whose header names the six columns (in any order and
// letter case; the columns are mapped by name), or a list of phrases with
// one field a line.
//
// The text is read as RFC 4180 records: fields separated by a separator,
// a field in double quotes may hold separators, line breaks and doubled
// quotes; lines end with CR LF, LF or a lone CR; a last line break is
// optional; a UTF-8 byte-order mark at the start is skipped. Lines with
// nothing on them are skipped. A quote inside a field that does not start
// with one is kept as a plain character (5" speakers).
//
// The separator is a comma, a semicolon (what spreadsheets write where the
// comma is the decimal mark) or a tab (a spreadsheet's copied cells). The
// header line tells which, read with each in turn; a text without the
// header is split at the one that gives its first line the most fields,
// the comma when none gives more than one.

// The separator a text uses, and whether its first record is the
// six-column header.
struct SeparatorFound {
  char separator = ',';
  bool header = false;
  // Fields of the first record with that separator (0 for an empty text).
  std::size_t fields = 0;
};
SeparatorFound FindSeparator(std::string_view bytes);

// How a message names a separator: "" for the comma, "semicolons", "tabs".
std::string_view SeparatorName(char separator);

// Parses a whole text; on the first bad record the rows are dropped, so
// that a bad text adds nothing. `separator` 0 finds it (FindSeparator).
// A table's cells lose the apostrophe that Save Results puts in front of a
// cell a spreadsheet would take for a formula (see FormulaGuard.h).
ResultsText ParseResultsText(std::string_view bytes, char separator = 0,
                             const ReadProgress& progress = {});

// True when the first record of the text is the six-column header (a
// byte-order mark before it is skipped); `separator` 0: with any of the
// three.
bool StartsWithResultsHeader(std::string_view bytes, char separator = 0);

// Text that a user pastes or drops: a table when its first record is the
// six-column header (with any of the three separators), else one phrase a
// line, kept byte for byte as a keyword list's lines are (no quotes
// taken off, no trimming; empty lines add nothing). Such a list is refused
// when its first line splits into fields at semicolons or tabs: that is
// a table without its header, not a list of phrases. A NUL byte ends the
// text: the lines before it are read and `linesBeforeNul` says how many.
ResultsText ParseResultsOrLines(std::string_view bytes, const ReadProgress& progress = {});

}  // namespace quorvane
