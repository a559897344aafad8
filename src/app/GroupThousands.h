#pragma once

#include <string>

namespace quorvane {

// The count with a comma between each group of three digits: "1,234,567".
// Every count the program writes for people to read (rows shown, rows of
// a run, duplicates to remove) is grouped here.
std::string GroupThousands(long long count);

}  // namespace quorvane
