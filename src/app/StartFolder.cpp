#include "app/StartFolder.h"

#include <unistd.h>

#include <algorithm>

namespace quorvane {

namespace {

// True when `inner` is `outer` or lies below it, both taken as the system
// resolves them (links followed).
bool Within(const std::filesystem::path& inner, const std::filesystem::path& outer) {
  std::error_code ec;
  const auto a = std::filesystem::weakly_canonical(inner, ec);
  if (ec) return false;
  const auto b = std::filesystem::weakly_canonical(outer, ec);
  if (ec || b.empty()) return false;
  auto ia = a.begin();
  for (auto ib = b.begin(); ib != b.end(); ++ib, ++ia) {
    // A trailing separator gives an empty last element.
    if (ib->empty() && std::next(ib) == b.end()) break;
    if (ia == a.end() || *ia != *ib) return false;
  }
  return true;
}

}  // namespace

bool ProgramFolderHoldsUserFiles(const std::filesystem::path& programFolder,
                                 const std::filesystem::path& dataHome) {
  if (!dataHome.empty() && Within(programFolder, dataHome)) return false;
  return ::access(programFolder.c_str(), W_OK) == 0;
}

std::filesystem::path FirstFileFolder(const std::filesystem::path& programFolder,
                                      const std::filesystem::path& dataHome,
                                      const std::filesystem::path& documents,
                                      const std::filesystem::path& home) {
  if (ProgramFolderHoldsUserFiles(programFolder, dataHome)) return programFolder;
  std::error_code ec;
  if (!documents.empty() && std::filesystem::is_directory(documents, ec)) return documents;
  return home;
}

}  // namespace quorvane
