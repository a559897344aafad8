#pragma once

#include <iostream>
#include <optional>

#include "settings/IndexChooser.h"
#include "settings/LoadedBrand.h"

namespace quorvane {

// Reads the brand settings file of the program folder (through its
// working copy) and decides what the main window shows for it. Nothing
// without dbsettings.dat. A file that is there but cannot be read as it
// was meant (another password, a plain text, damage) is still used as the
// window would use it, and one line on `problems` says what is wrong with
// it: without that line a publisher's mistake looks like an empty brand.
// Throws FileError when the working copy cannot be made or read.
std::optional<LoadedBrand> LoadBrand(const IndexChooser& choose = ChooseFromClock,
                                     std::ostream& problems = std::cerr);

}  // namespace quorvane
