#pragma once

#include <string>
#include <string_view>

// The page text of a downloaded body, read as text lines: a line ends at
// CR, at LF or at CR LF (one break); reading stops at the first NUL byte;
// every line, the last one included, is followed by CR LF. An empty body
// (or one that starts with NUL) gives an empty text.
std::string CrLfLines(std::string_view body);
