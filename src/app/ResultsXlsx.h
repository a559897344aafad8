#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "app/ResultStore.h"

namespace quorvane {

// The whole results table, in table order, as an Excel workbook of one
// sheet: the header row No, Keywords, Searches, Google, Yahoo, Msn in bold
// and frozen, one row per table row, an auto-filter over the table and
// column widths fitted to the longest cell. A cell that reads as a count
// (see CountValue) is written as a number shown with thousands
// separators; every other cell as text, an empty cell as nothing.
//
// Written through AtomicFileWriter: a failure leaves an earlier file of
// that name as it was and no temporary file. Returns the first error met,
// or an empty error code.
std::error_code WriteResultsXlsx(const std::filesystem::path& path, const ResultStore& rows);

// The number a cell stands for when it is a whole number written plainly
// ("1234", "0") or with a comma between every group of three digits
// ("1,234,000"). Anything else has none: "", "n/a", "12.5", "-3", "1,23",
// "007" (a leading zero a number would lose), and numbers of more than 15
// digits (a spreadsheet keeps no more).
std::optional<double> CountValue(std::string_view cell);

}  // namespace quorvane
