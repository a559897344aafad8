#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/ProgramFolder.h"

namespace quorvane {

// The benchmark program's own program folder, made under the temporary
// folder on first use; the program's main() removes it at the end.
inline std::filesystem::path BenchFolder() {
  static const std::filesystem::path folder = [] {
    std::string templ = (std::filesystem::temp_directory_path() / "quorvane-bench-XXXXXX").string();
    if (mkdtemp(templ.data()) == nullptr) std::abort();
    SetProgramFolder(templ);
    return std::filesystem::path(templ);
  }();
  return folder;
}

}  // namespace quorvane
