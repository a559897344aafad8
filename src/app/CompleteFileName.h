#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The file name an export writes: `extension` (".csv", ".xlsx") is
// appended to the whole name unless the name's extension already is that
// one in any letter case ("results.txt" -> "results.txt.csv",
// "results.CSV" stays). A dot in a folder name is no extension.
std::string CompleteFileName(const std::string& path, std::string_view extension);

}  // namespace quorvane
