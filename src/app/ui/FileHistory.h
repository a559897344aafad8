#pragma once

#include <QString>
#include <QStringList>

// What the file dialogs of Save Results and Open Results remember, and
// where they start.

namespace quorvane {

// The files Open Results opened and Save Results wrote last, the latest
// first, at most kMaxRecentFiles, remembered between runs in the desktop
// settings: the entries of "Open Recent".
class RecentFiles {
 public:
  static constexpr int kMaxRecentFiles = 8;

  // Puts `path` first (taking it out further down).
  static void Add(const QString& path);
  // The list as remembered.
  static QStringList Entries();
  // Takes the files that are no longer there off the list; returns them.
  static QStringList DropMissing();
};

// Where a file dialog starts when nothing is remembered: the program
// folder, or Documents (else home) when the program folder is no folder
// of the user's (see FirstFileFolder).
QString DefaultFileFolder();

// The folder a remembered one names, when it still exists; else the
// default.
QString StartFolder(const QString& remembered);

}  // namespace quorvane
