#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane {

// Helpers for 8-bit byte strings under ASCII rules. Only A-Z and a-z are
// letters that fold; every other byte, those of the code page from 0x80 on
// included, compares as it is. Nothing here follows the C locale, which the
// windows take from the user's environment: std::tolower and std::isspace
// would start folding or skipping code-page bytes there.

// The sets of blanks a trim drops. The texts read differ in them on purpose.
inline constexpr std::string_view kSpaceTab = " \t";             // header and cookie fields
inline constexpr std::string_view kSpaceTabLineEnd = " \t\r\n";  // the end of a header line
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";   // lines of an INI file
inline constexpr char kControlsAndSpaceBytes[] =
    "\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f"
    "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f\x20";
// Every byte from 0 to 32: what the services' replies and page cells are
// cleaned of.
inline constexpr std::string_view kControlsAndSpace(kControlsAndSpaceBytes, 33);

constexpr bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr bool IsAsciiAlnum(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c);
}

constexpr char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// A copy with A-Z lowered.
std::string LowerAscii(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);

// The first position from `from` on where `needle` stands in `text`, ASCII
// letters folded; npos when there is none. An empty needle stands nowhere.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);

constexpr bool IsBlank(char c, std::string_view blanks) {
  return blanks.find(c) != std::string_view::npos;
}

// `text` without the bytes of `blanks` at its start, its end, or both.
std::string_view TrimStart(std::string_view text, std::string_view blanks);
std::string_view TrimEnd(std::string_view text, std::string_view blanks);
std::string_view Trim(std::string_view text, std::string_view blanks);

}  // namespace quorvane
