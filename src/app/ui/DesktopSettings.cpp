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

namespace {

constexpr auto kSaveFolder = "Files/SaveFolder";
constexpr auto kSaveType = "Files/SaveType";
constexpr auto kOpenFolder = "Files/OpenFolder";
constexpr auto kOpenFilter = "Files/OpenFilter";
constexpr auto kRecentFiles = "Files/Recent";

}  // namespace

QString DesktopSettings::SaveFolder() const {
  return settings_.value(kSaveFolder).toString();
}

void DesktopSettings::SetSaveFolder(const QString& folder) {
  settings_.setValue(kSaveFolder, folder);
}

QString DesktopSettings::SaveType() const {
  return settings_.value(kSaveType).toString();
}

void DesktopSettings::SetSaveType(const QString& type) {
  settings_.setValue(kSaveType, type);
}

QString DesktopSettings::OpenFolder() const {
  return settings_.value(kOpenFolder).toString();
}

void DesktopSettings::SetOpenFolder(const QString& folder) {
  settings_.setValue(kOpenFolder, folder);
}

QString DesktopSettings::OpenFilter() const {
  return settings_.value(kOpenFilter).toString();
}

void DesktopSettings::SetOpenFilter(const QString& filter) {
  settings_.setValue(kOpenFilter, filter);
}

QStringList DesktopSettings::RecentFiles() const {
  return settings_.value(kRecentFiles).toStringList();
}

void DesktopSettings::SetRecentFiles(const QStringList& files) {
  settings_.setValue(kRecentFiles, files);
}

}  // namespace quorvane
