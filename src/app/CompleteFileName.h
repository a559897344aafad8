#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The file name an export writes: `extension` (".csv", ".xlsx") is
// appended to the whole name unless the name's extension already is that
// one in any letter case ("results.txt" -> "results.txt.csv",
// "results.CSV" stays). A dot in a folder name is no extension.
std::string CompleteFileName(const std::string& path, std::string_view extension);

// The two forms Save Results writes.
enum class ResultsFileType { kCsv, kWorkbook };

// The file a save writes and its form. A name that ends in ".xlsx" or
// ".csv" (any letter case) is written in that form whatever form the
// dialog offered: a user who types the extension means it. Any other
// name is completed with the offered form's extension.
struct SaveTarget {
  std::string path;
  ResultsFileType type;
};
SaveTarget ChooseSaveTarget(const std::string& name, ResultsFileType offered);

// ".csv" or ".xlsx".
std::string_view ExtensionOf(ResultsFileType type);

}  // namespace quorvane
