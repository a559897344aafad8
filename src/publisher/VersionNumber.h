#pragma once

#include <string_view>

namespace quorvane {

// Version texts are decimal numbers written with a point ("2.0"), compared
// as numbers: "2.10" is older than "2.9".

// True when the published version is newer than the running program's.
// Both are read as decimal numbers with a point and an optional exponent;
// anything else, the empty text included, reads as 0. The published value
// is held in single precision, the program's at full precision.
bool IsNewerVersion(std::string_view published, std::string_view program);

}  // namespace quorvane
