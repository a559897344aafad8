#pragma once

#include <filesystem>
#include <string_view>

namespace quorvane {

// The program folder is the folder of the running executable. Every file
// the program reads or writes by a fixed name (dbsettings.dat, test.html,
// banner pictures, mainappupdate.inf, Updater.exe ...) lives there, never
// relative to the current directory.
std::filesystem::path ProgramFolder();

// The full path of a fixed-name file in the program folder.
std::filesystem::path ProgramFile(std::string_view name);

// Points ProgramFolder() at another folder (tests use a temporary one).
// An empty path restores the executable's folder.
void SetProgramFolder(const std::filesystem::path& folder);

}  // namespace quorvane
