#include "settings/LastNewsId.h"

#include <filesystem>
#include <system_error>

#include "base/ProgramFolder.h"
#include "settings/ContainerFile.h"
#include "settings/LastNewsMarker.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLines.h"
#include "settings/SettingsWorkingCopy.h"

namespace quorvane {

std::string ReadLastNewsId() {
  const auto lines = ReadSettingsLines();
  if (!lines) return {};
  return FindLastNewsId(JoinLines(*lines));
}

void SaveLastNewsId(const std::string& id) {
  const auto settings = ProgramFile("dbsettings.dat");
  std::error_code ec;
  if (!std::filesystem::exists(settings, ec)) return;

  SettingsWorkingCopy copy;
  if (DecryptContainerFile(settings, copy.Path(), kSettingsPassword) != CryptError::None) return;
  std::vector<std::string> lines = copy.ReadLines();
  copy.Remove();

  PutLastNewsId(lines, id);
  copy.WriteLines(lines);
  // Written under a temporary name and renamed over the old file, so an
  // interrupted save leaves the old settings file whole.
  EncryptSettingsFile(copy.Path(), settings);
}

}  // namespace quorvane
