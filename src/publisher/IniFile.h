#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvane {

// Reads one value from an INI file the way the desktop platform's own
// reader does: section and key names match in any letter case, blanks
// around the value are dropped, and one pair of matching quotes around it
// is removed. A missing file, section or key reads as empty.
std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key);

// The same on text already in memory.
std::string ReadIniStringFromText(std::string_view text, std::string_view section,
                                  std::string_view key);

}  // namespace quorvane
