#include "app/ui/DesktopSettings.h"

#include <QFile>

#include "base/UserFolders.h"

namespace quorvane {

namespace {

QString SettingsFile() {
  const std::string name = ProductFolderName() + ".conf";
  return QFile::decodeName((UserConfigFolder() / name).c_str());
}

}  // namespace

// The folder is made by QSettings itself when it first writes.
DesktopSettings::DesktopSettings() : settings_(SettingsFile(), QSettings::IniFormat) {}

}  // namespace quorvane
