#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace quorvane {

// The file-open and file-save dialogs of the program. Every file dialog
// goes through here.
//
// Test seam: names queued with SetNextFileName are returned, one per
// dialog, in place of a dialog (an empty name stands for Cancel), with the
// file type the user is taken to have chosen (none given: the type the
// dialog offered); every request is recorded.
class FileDialogs {
 public:
  struct Request {
    bool save;
    QString title;
    QString start;
    QString filter;
    // The file type the dialog offered first.
    QString offered;
  };

  // `filter` may list several types ("A (*.a);;B (*.b)"). `selectedFilter`,
  // when given, names the type the dialog offers first (empty: the first
  // of the list) and receives the one the user left chosen.

  // Open dialog for one existing file. Empty result: cancelled.
  static QString GetOpenFileName(QWidget* parent, const QString& title, const QString& start,
                                 const QString& filter, QString* selectedFilter = nullptr);
  // Save dialog that replaces an existing file without asking. Empty
  // result: cancelled.
  static QString GetSaveFileName(QWidget* parent, const QString& title, const QString& start,
                                 const QString& filter, QString* selectedFilter = nullptr);

  static void SetNextFileName(const QString& name, const QString& filter = {});
  static const std::vector<Request>& Requests();
  static void ResetTestState();
};

}  // namespace quorvane
