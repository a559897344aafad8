#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The page text of a downloaded body, read as text lines: a line ends at
// CR, at LF or at CR LF (one break); reading stops at the first NUL byte;
// every line, the last one included, is followed by CR LF. An empty body
// (or one that starts with NUL) gives an empty text.
std::string CrLfLines(std::string_view body);

// The same, appended to `text`: a caller that fetches page after page
// into one string keeps its buffer instead of allocating a new one.
void AppendCrLfLines(std::string_view body, std::string& text);

}  // namespace quorvane
