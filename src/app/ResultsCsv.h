#pragma once

#include <string>

#include "app/ResultStore.h"

namespace quorvane {

// The CSV text of the whole results table, in table order, ticked or not:
// the header line "No","Keywords","Searches","Google","Yahoo","Msn", then
// one line per row. Every field is quoted, a double quote inside a cell is
// doubled, and every line ends with CR LF. Cell bytes are written unchanged
// otherwise (commas in counts included).
std::string BuildResultsCsv(const ResultStore& rows);

// The file name the export writes: ".csv" is appended to the whole name
// unless its extension already is ".csv" in any letter case
// ("results.txt" -> "results.txt.csv", "results.CSV" stays).
std::string CompleteCsvFileName(const std::string& path);

}  // namespace quorvane
