#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// One value of a settings text, as the brand tool writes it.
inline std::string Tag(const std::string& name, const std::string& value) {
  return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\r\n";
}

// Writes `text` as the encrypted settings file (dbsettings.dat) of
// `programFolder`.
void WriteSettingsFile(const std::filesystem::path& programFolder, const std::string& text);

}  // namespace quorvane
