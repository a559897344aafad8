#pragma once

// How "Gather Data" searches a phrase: as an exact phrase between quote
// marks, or as loose words.
enum class SearchType { Precise, Broad };
