#pragma once

#include <string_view>

#include "ProductIdentityValues.h"

namespace quorvane {

// The product's identity as the build was given it (identity.ini): what
// --version says, and the name under which the desktop knows the program
// (its desktop entry, window class and command). The version is
// ProgramVersion (base/ProgramVersion.h); the user's folders' name is
// ProductFolderName (base/UserFolders.h).
inline constexpr std::string_view ProductName = QUORVANE_IDENTITY_NAME;
inline constexpr std::string_view ProductCommand = QUORVANE_IDENTITY_PACKAGE;

}  // namespace quorvane
