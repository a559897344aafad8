#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane {

// The numeric reading of a table cell: commas removed, then optional
// leading blanks, an optional sign and decimal digits up to the end of the
// text. Anything else (an empty text, a word, a trailing blank, a value
// outside the signed 32-bit range) reads as 0, so such cells sort with 0.
std::int32_t CellNumber(std::string_view text);

// Compares two cells by their numeric reading: 1, 0 or -1.
int CompareCells(std::string_view a, std::string_view b);

}  // namespace quorvane
