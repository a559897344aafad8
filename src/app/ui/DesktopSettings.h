#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace quorvane {

// What the user's desktop remembers between runs (window, columns,
// folders, recent files), in one settings file of the user's
// configuration folder: ~/.config/quorvane/quorvane.conf, or the
// product's own name. Never in the program folder, which belongs to the
// program and its brand.
//
// Cheap to make: make one where a value is read or written. Objects on
// the same file share what they hold within the process, and a change is
// written to the file soon after it is made and when the object goes.
// Each value has a named accessor here, so the keys live in one place.
class DesktopSettings {
 public:
  DesktopSettings();

  // The settings file's full path.
  QString FileName() const { return settings_.fileName(); }

  // Writes what changed now (also done by itself, later).
  void Sync() { settings_.sync(); }
  // Forgets every value, as on a first run.
  void Clear() { settings_.clear(); }

  // The main window's size, place, screen and maximised state as
  // QWidget::saveGeometry gives them; empty before the first close.
  QByteArray MainWindowGeometry() const;
  void SetMainWindowGeometry(const QByteArray& geometry);

  // The widths the user gave the results table's columns by dragging, in
  // column order, 0 for a column left to fit its contents. Empty when none
  // was ever set or what is stored does not make sense.
  std::vector<int> ResultColumnWidths() const;
  void SetResultColumnWidths(const std::vector<int>& widths);

  // --- Save Results and Open Results: the folder of the last file
  // chosen, the type it was saved as ("csv", "xlsx") or the file type the
  // open dialog was left on, and the files opened or saved last, the
  // latest first. Empty when nothing is remembered.
  QString SaveFolder() const;
  void SetSaveFolder(const QString& folder);
  QString SaveType() const;
  void SetSaveType(const QString& type);
  QString OpenFolder() const;
  void SetOpenFolder(const QString& folder);
  QString OpenFilter() const;
  void SetOpenFilter(const QString& filter);
  QStringList RecentFiles() const;
  void SetRecentFiles(const QStringList& files);

 private:
  QSettings settings_;
};

}  // namespace quorvane
