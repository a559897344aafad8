#include "support/SettingsText.h"

#include "settings/SettingsFile.h"
#include "support/TempFolder.h"

namespace quorvane {

void WriteSettingsFile(const std::filesystem::path& programFolder, const std::string& text) {
  const TempFolder scratch;
  scratch.Write("settings.txt", text);
  EncryptSettingsFile(scratch.File("settings.txt"), programFolder / "dbsettings.dat");
}

}  // namespace quorvane
