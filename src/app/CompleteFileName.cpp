#include "app/CompleteFileName.h"

#include "base/AsciiText.h"

namespace quorvane {

namespace {

// The name's extension with its dot, "" when it has none; a dot in a
// folder name is no extension.
std::string_view Extension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return {};
  return std::string_view(path).substr(dot);
}

}  // namespace

std::string CompleteFileName(const std::string& path, std::string_view extension) {
  if (EqualsNoCase(Extension(path), extension)) return path;
  std::string completed = path;
  completed += extension;
  return completed;
}

std::string_view ExtensionOf(ResultsFileType type) {
  return type == ResultsFileType::kWorkbook ? ".xlsx" : ".csv";
}

SaveTarget ChooseSaveTarget(const std::string& name, ResultsFileType offered) {
  for (const ResultsFileType typed : {ResultsFileType::kCsv, ResultsFileType::kWorkbook})
    if (EqualsNoCase(Extension(name), ExtensionOf(typed))) return {name, typed};
  return {CompleteFileName(name, ExtensionOf(offered)), offered};
}

}  // namespace quorvane
