#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::sim {

// Small text helpers of the simulator (byte strings, ASCII rules only).

bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);
// Blanks and tabs removed at both ends.
std::string TrimBlanks(std::string_view text);
// Runs of blanks collapsed to one blank, ends trimmed.
std::string CollapseBlanks(std::string_view text);

// 1234567 -> "1,234,567".
std::string FormatThousands(std::uint64_t value);

// FNV-1a: a stable hash, the same on every machine and every run.
std::uint64_t StableHash(std::string_view text);

// &, <, >, " and ' as entities (' as &#039;, the form web pages of the
// services use).
std::string HtmlEscape(std::string_view text);

// %XX decoded (a malformed escape stays as it is); with plusAsSpace, "+"
// becomes a blank as in a query string.
std::string PercentDecode(std::string_view text, bool plusAsSpace);

// A query value: blanks as "+", letters, digits and -_.~ kept, every other
// byte as %XX.
std::string FormEncode(std::string_view text);

}  // namespace quorvane::sim
