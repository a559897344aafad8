#include "settings/LoadBrand.h"

#include <errno.h>

#include "base/ProgramFolder.h"
#include "base/ProgramVersion.h"
#include "settings/BrandReader.h"
#include "settings/SettingsFileState.h"
#include "settings/SettingsLines.h"
#include "settings/SettingsWorkingCopy.h"

namespace quorvane {

namespace {

void ReportTrouble(CryptError decrypted, std::ostream& problems) {
  if (decrypted == CryptError::None) return;
  const auto file = ProgramFile("dbsettings.dat");
  const SettingsFileTrouble trouble = JudgeSettingsFile(decrypted, ReadSettingsFileBytes(file));
  const char* consequence = trouble == SettingsFileTrouble::Damaged
                                ? "what could be read of it is used"
                                : "the program starts without its brand";
  problems << program_invocation_short_name << ": " << file.string() << ": "
           << DescribeSettingsTrouble(trouble) << "; " << consequence << '\n';
  problems.flush();
}

}  // namespace

std::optional<LoadedBrand> LoadBrand(const IndexChooser& choose, std::ostream& problems) {
  CryptError decrypted = CryptError::None;
  const auto lines = ReadSettingsLines(&decrypted);
  if (!lines) return std::nullopt;
  ReportTrouble(decrypted, problems);
  return ReadBrand(JoinLines(*lines), ProgramVersion, choose);
}

}  // namespace quorvane
