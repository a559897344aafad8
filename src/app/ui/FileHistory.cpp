#include "app/ui/FileHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/StartFolder.h"
#include "app/ui/DesktopSettings.h"
#include "base/ProgramFolder.h"
#include "base/UserFolders.h"

namespace quorvane {

void RecentFiles::Add(const QString& path) {
  DesktopSettings settings;
  QStringList files = settings.RecentFiles();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kMaxRecentFiles) files.removeLast();
  settings.SetRecentFiles(files);
}

QStringList RecentFiles::Entries() {
  QStringList files = DesktopSettings().RecentFiles();
  while (files.size() > kMaxRecentFiles) files.removeLast();
  return files;
}

QStringList RecentFiles::DropMissing() {
  DesktopSettings settings;
  QStringList kept, gone;
  for (const QString& file : settings.RecentFiles())
    (QFileInfo(file).isFile() ? kept : gone).append(file);
  if (!gone.isEmpty()) settings.SetRecentFiles(kept);
  return gone;
}

QString DefaultFileFolder() {
  const std::filesystem::path documents =
      QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
          .toStdString();
  const std::filesystem::path home = QFile::encodeName(QDir::homePath()).toStdString();
  const std::filesystem::path folder =
      FirstFileFolder(ProgramFolder(), UserDataFolder().parent_path(), documents, home);
  return QFile::decodeName(folder.c_str());
}

QString StartFolder(const QString& remembered) {
  if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
  return DefaultFileFolder();
}

}  // namespace quorvane
