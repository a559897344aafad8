#include "app/ui/DesktopSettings.h"

#include <QFile>
#include <QStringList>

#include "base/ResultRow.h"
#include "base/UserFolders.h"

namespace quorvane {

namespace {

const QString kMainWindowGeometry = QStringLiteral("MainWindow/geometry");
const QString kResultColumnWidths = QStringLiteral("MainWindow/resultColumnWidths");
constexpr auto kSaveFolder = "Files/SaveFolder";
constexpr auto kSaveType = "Files/SaveType";
constexpr auto kOpenFolder = "Files/OpenFolder";
constexpr auto kOpenFilter = "Files/OpenFilter";
constexpr auto kRecentFiles = "Files/Recent";

// Wider than any screen: a value past it was not written by the window.
constexpr int kWidestColumn = 20000;

QString SettingsFile() {
  const std::string name = ProductFolderName() + ".conf";
  return QFile::decodeName((UserConfigFolder() / name).c_str());
}

}  // namespace

// The folder is made by QSettings itself when it first writes.
DesktopSettings::DesktopSettings() : settings_(SettingsFile(), QSettings::IniFormat) {}

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

QByteArray DesktopSettings::MainWindowGeometry() const {
  return settings_.value(kMainWindowGeometry).toByteArray();
}

void DesktopSettings::SetMainWindowGeometry(const QByteArray& geometry) {
  settings_.setValue(kMainWindowGeometry, geometry);
}

std::vector<int> DesktopSettings::ResultColumnWidths() const {
  // Kept as readable text ("0,120,0,0,0,0"), so the file can be mended by
  // hand; written without quotes it reads back as a list, which is joined.
  const QStringList fields = settings_.value(kResultColumnWidths)
                                 .toStringList()
                                 .join(QLatin1Char(','))
                                 .split(QLatin1Char(','), Qt::SkipEmptyParts);
  if (fields.size() != kColumnCount) return {};
  std::vector<int> widths;
  for (const QString& field : fields) {
    bool ok = false;
    const int width = field.trimmed().toInt(&ok);
    if (!ok || width < 0 || width > kWidestColumn) return {};
    widths.push_back(width);
  }
  return widths;
}

void DesktopSettings::SetResultColumnWidths(const std::vector<int>& widths) {
  QStringList fields;
  for (const int width : widths) fields << QString::number(width);
  settings_.setValue(kResultColumnWidths, fields.join(QLatin1Char(',')));
}

}  // namespace quorvane
