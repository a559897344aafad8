#include "app/CompleteFileName.h"

#include "base/AsciiText.h"

namespace quorvane {

std::string CompleteFileName(const std::string& path, std::string_view extension) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.find_last_of('.');
  std::string_view present;
  if (dot != std::string::npos && dot >= nameStart) present = std::string_view(path).substr(dot);
  if (EqualsNoCase(present, extension)) return path;
  std::string completed = path;
  completed += extension;
  return completed;
}

}  // namespace quorvane
