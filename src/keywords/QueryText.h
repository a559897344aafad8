#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The services take phrases in the query with every blank (code 32) turned
// into "+"; nothing else is changed or escaped, and nothing is trimmed, so
// leading and trailing blanks become leading and trailing "+".
std::string BlanksToPlus(std::string_view phrase);

}  // namespace quorvane
