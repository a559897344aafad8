#pragma once

#include <string_view>

namespace quorvane {

class ResultsTable;

// True when the suggestion service answered with a page that asks for the
// characters of a security image instead of giving suggestions.
bool IsSecurityImagePage(std::string_view page);

// Appends one row per suggestion of `page` to `table` (No = row count + 1,
// the phrase, its search count) and refreshes the item count after each
// row. The list ends at the first row whose count cell is empty. A page
// without a suggestion table adds nothing.
void ParseSuggestions(std::string_view page, ResultsTable& table);

}  // namespace quorvane
