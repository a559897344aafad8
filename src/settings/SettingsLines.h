#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The settings text is handled as lines: a line ends at CR LF, LF or CR.
// A final line without a line break still counts; a line break at the very
// end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines with CR LF after every line, the last one included.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace quorvane
