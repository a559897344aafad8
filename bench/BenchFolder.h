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

// Points the user's configuration, state and data folders into the bench
// folder, so that what a window remembers or journals (a table of 100,000
// rows left unsaved) never reaches the desktop of whoever runs the
// benchmarks, and goes with the folder at the end.
inline void UseBenchUserFolders() {
  for (const char* variable : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"}) {
    const auto folder = BenchFolder() / variable;
    std::filesystem::create_directories(folder);
    setenv(variable, folder.c_str(), 1);
  }
}

}  // namespace quorvane
