#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/ResultRow.h"

namespace quorvane {

// Reading a results table back: the CSV that Save Results writes, any CSV
// whose header names the six columns (in any order and letter case; the
// columns are mapped by name), or a list of phrases with one field a line.
//
// The text is read as RFC 4180 records: fields separated by `separator`,
// a field in double quotes may hold separators, line breaks and doubled
// quotes; lines end with CR LF, LF or a lone CR; a last line break is
// optional; a UTF-8 byte-order mark at the start is skipped. Lines with
// nothing on them are skipped. A quote inside a field that does not start
// with one is kept as a plain character (5" speakers).

struct ResultsText {
  // The rows found, in file order. For a table, every cell but No comes
  // from the file (the No cell is kept but is renumbered when appended);
  // for a list of phrases only Keywords is filled.
  std::vector<ResultRow> rows;
  // True when the first record is the six-column header (also for a text
  // that turns out bad further on).
  bool table = false;
  // 0 when the whole text is good; else the line (from 1) where the first
  // bad record starts, and what is wrong with it, as a clause that follows
  // "line N " ("has 4 fields, the header has 6").
  int badLine = 0;
  std::string problem;

  bool ok() const { return badLine == 0; }
};

// Parses a whole text; on the first bad record the rows are dropped, so
// that a bad text adds nothing.
ResultsText ParseResultsText(std::string_view bytes, char separator = ',');

// True when the first record of the text is the six-column header (a
// byte-order mark before it is skipped).
bool StartsWithResultsHeader(std::string_view bytes, char separator = ',');

// Reads a file with ParseResultsText. A path that names no regular file,
// or a file that cannot be read, comes back bad with line 0 and
// `problem` saying why, as a clause that follows the file's name.
struct ResultsFile {
  ResultsText text;
  bool readable = true;
  std::string problem;
};
ResultsFile ReadResultsFile(const std::filesystem::path& path);

// The one message for a file that cannot be opened as a results table:
// it names the file and the first bad line.
std::string ResultsFileMessage(const std::string& path, const ResultsFile& file);

}  // namespace quorvane
