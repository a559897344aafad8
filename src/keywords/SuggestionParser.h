#pragma once

#include <string_view>
#include <vector>

#include "base/ResultRow.h"

namespace quorvane {

// True when the suggestion service answered with a page that asks for the
// characters of a security image instead of giving suggestions.
bool IsSecurityImagePage(std::string_view page);

// The suggestions of `page` in page order: each phrase with its search
// count. The list ends at the first row whose count cell is empty. A page
// without a suggestion table has none.
std::vector<NewKeyword> ParseSuggestions(std::string_view page);

}  // namespace quorvane
