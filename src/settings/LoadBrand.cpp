#include "settings/LoadBrand.h"

#include "base/ProgramVersion.h"
#include "settings/BrandReader.h"
#include "settings/SettingsLines.h"
#include "settings/SettingsWorkingCopy.h"

namespace quorvane {

std::optional<LoadedBrand> LoadBrand(const IndexChooser& choose) {
  const auto lines = ReadSettingsLines();
  if (!lines) return std::nullopt;
  return ReadBrand(JoinLines(*lines), ProgramVersion, choose);
}

}  // namespace quorvane
