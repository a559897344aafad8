#pragma once

namespace quorvane {

// How "Gather Data" asks the search engines for a phrase: as an exact
// phrase in quotes (precise) or as loose words (broad).
enum class SearchType { Precise, Broad };

}  // namespace quorvane
