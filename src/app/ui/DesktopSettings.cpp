#include "app/ui/DesktopSettings.h"

#include <QFile>
#include <QStringList>

#include "base/ResultRow.h"
#include "base/UserFolders.h"

namespace quorvane {

namespace {

const QString kMainWindowGeometry = QStringLiteral("MainWindow/geometry");
const QString kResultColumnWidths = QStringLiteral("MainWindow/resultColumnWidths");

// Wider than any screen: a value past it was not written by the window.
constexpr int kWidestColumn = 20000;

QString SettingsFile() {
  const std::string name = ProductFolderName() + ".conf";
  return QFile::decodeName((UserConfigFolder() / name).c_str());
}

}  // namespace

// The folder is made by QSettings itself when it first writes.
DesktopSettings::DesktopSettings() : settings_(SettingsFile(), QSettings::IniFormat) {}

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
