#pragma once

#include <filesystem>

namespace quorvane {

// Where the first Save Results or Open Results starts when no folder is
// remembered from an earlier one.
//
// A plain build or an unpacked archive lives in a folder the user chose
// and knows, and has always started there. The packaged program lives in
// a hidden per-user data folder (~/.local/share/<product>) or in a system
// folder nobody can write: a user's files do not belong there, and the
// dialog would open somewhere the user never looks. So the program
// folder is the start unless it lies inside the user's data home
// (`dataHome`, $XDG_DATA_HOME or ~/.local/share) or cannot be written by
// the user; then the user's Documents folder is the start, or the home
// folder when there is no Documents folder.
bool ProgramFolderHoldsUserFiles(const std::filesystem::path& programFolder,
                                 const std::filesystem::path& dataHome);

std::filesystem::path FirstFileFolder(const std::filesystem::path& programFolder,
                                      const std::filesystem::path& dataHome,
                                      const std::filesystem::path& documents,
                                      const std::filesystem::path& home);

}  // namespace quorvane
