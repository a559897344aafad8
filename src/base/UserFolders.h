#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// Where the program keeps what belongs to the user rather than to the
// program folder, following the desktop's base-directory rules: what the
// desktop remembers (window, folders, recent files) in the configuration
// folder, recovery journals in the state folder, the per-user copy of the
// program's data in the data folder. Each is a folder named after the
// product (ProductFolderName) inside the desktop's base folder:
//
//   configuration  $XDG_CONFIG_HOME, else ~/.config
//   state          $XDG_STATE_HOME,  else ~/.local/state
//   data           $XDG_DATA_HOME,   else ~/.local/share
//
// A variable that is unset, empty or not an absolute path is ignored, as
// the rules say. The folders are not created here; a writer creates the
// one it needs (CreateUserFolder).
std::filesystem::path UserConfigFolder();
std::filesystem::path UserStateFolder();
std::filesystem::path UserDataFolder();

// The product's name for its folders: Folder of the product's identity
// file ("quorvane" for Quorvane itself).
std::string ProductFolderName();

// Creates `folder` and its parents for the user alone (mode 0700 for what
// it creates). False when it cannot be created or is not a folder.
bool CreateUserFolder(const std::filesystem::path& folder);

}  // namespace quorvane
