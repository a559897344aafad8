#pragma once

#include <filesystem>
#include <string_view>

namespace quorvane {

// The program folder: every file the program reads or writes by a fixed
// name (dbsettings.dat, test.html, banner pictures, mainappupdate.inf ...)
// lives there, never relative to the current directory. It is the folder
// of the running executable, unless the start chose another: the program
// the Debian package installs works in the user's data folder, which it
// fills with the brand's data files (base/InstalledProgramStart.h).
std::filesystem::path ProgramFolder();

// The full path of a fixed-name file in the program folder.
std::filesystem::path ProgramFile(std::string_view name);

// Points ProgramFolder() at another folder (the installed program's start;
// tests use a temporary one). An empty path restores the executable's
// folder.
void SetProgramFolder(const std::filesystem::path& folder);

// The folder the program starts its helper programs (Updater.exe) from.
// It is the program folder unless SetHelperFolder chose another: the
// installed program starts them from its installed, read-only folder, so
// that no program is ever started from the user's home.
std::filesystem::path HelperFolder();
std::filesystem::path HelperFile(std::string_view name);
// An empty path makes the helper folder follow the program folder again.
void SetHelperFolder(const std::filesystem::path& folder);

// The folder of the running executable, whatever the program folder is.
std::filesystem::path ExecutableFolder();

}  // namespace quorvane
