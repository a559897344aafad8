#pragma once

#include <string>

namespace quorvane {

// A brand settings text with every tag the program reads, in the order it
// reads them, filled with example values and explained by comments outside
// the tags. Publishers fill it in and encrypt it into dbsettings.dat.
std::string SettingsTemplate();

}  // namespace quorvane
