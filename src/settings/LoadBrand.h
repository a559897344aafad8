#pragma once

#include <optional>

#include "settings/IndexChooser.h"
#include "settings/LoadedBrand.h"

namespace quorvane {

// Reads the brand settings file of the program folder (through its
// working copy) and decides what the main window shows for it. Nothing
// without dbsettings.dat. Throws FileError when the working copy cannot be
// made or read.
std::optional<LoadedBrand> LoadBrand(const IndexChooser& choose = ChooseFromClock);

}  // namespace quorvane
