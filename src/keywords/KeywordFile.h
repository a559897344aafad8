#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Keyword list files: plain 8-bit text, one phrase per line.

// Splits file bytes into lines. A line ends at CR LF, at a lone LF or at a
// lone CR; a last line without a break counts, a break at the very end adds
// no empty line, and everything from the first NUL byte on is ignored.
// Lines are kept byte for byte: no trimming, no byte-order mark handling.
std::vector<std::string> SplitKeywordLines(std::string_view bytes);

// True when `path` names a regular file (directly or through links). A
// folder, a pipe, a device or a socket is no keyword list: reading one may
// block for ever or never end.
bool KeywordFileExists(const std::filesystem::path& path);

// Reads a keyword list file into lines, up to its first NUL byte; what
// follows that byte is never read. nullopt, with nothing read, when the
// path names no regular file by the time it is opened (it has gone, or it
// is a folder, a pipe or a device). Throws std::system_error when the file
// cannot be opened or read, so that no partial list is ever used.
std::optional<std::vector<std::string>> ReadKeywordFile(const std::filesystem::path& path);

}  // namespace quorvane
