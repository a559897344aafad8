#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/ResultsText.h"
#include "app/ui/ResultsModel.h"
#include "base/ResultRow.h"

class QAction;
class QMenu;
class QMimeData;
class QTableView;

namespace quorvane {

class MainStatusBar;
class Messages;

// The commands that move rows in and out of the results table: Open
// Results, Open Recent, Copy, Paste, dropping files or text on the table,
// and Remove Duplicates. They sit in the table's context menu with their
// shortcuts. Every command that adds or removes rows is off while the
// window's commands are busy (a run goes on); Copy stays available. Drops
// reach it through the model's drop interface.
//
// Rows that come in are numbered on from the largest number in the table.
// What comes in is held to the limits of ResultsLimits.h; a big file or
// paste is read with the window answering and can be cancelled
// (WorkProgress).
class ResultsTransfer final : public QObject, public ResultsModel::DropTarget {
  Q_OBJECT

 public:
  struct Parts {
    ResultsModel& model;
    Messages& messages;
    QTableView* table;
    // True while the window's commands are busy.
    std::function<bool()> busy;
    // Its count panel tells how many rows the table holds after a command.
    MainStatusBar& statusBar;
  };

  // Becomes the model's drop target: it must outlive the model.
  ResultsTransfer(Parts parts, QObject* parent);

  // Puts the commands into the table's context menu before `before`.
  void AddActions(QAction* before);
  // Enables or disables the commands that change rows.
  void SetIdle(bool idle);

  // Asks for a file and appends its rows (see OpenResultsFile).
  void OpenResults();
  // Appends the rows of a results table (CSV, with any of the three
  // separators, or a workbook) or of a list of phrases, numbered on from the
  // largest number in the table, and shows "Total: " and the row count.
  // Opened into an empty table, the table counts as saved. A file that is
  // no such table: one warning naming the file and what is wrong, and
  // nothing is added. False in that case and when the user cancelled the
  // read.
  bool OpenResultsFile(const std::string& path);
  // Fills Open Recent's menu with the files remembered, after taking off
  // those that are gone (the menu says which).
  void FillRecentMenu();
  // The ticked rows, or the highlighted rows when none is ticked, to the
  // clipboard: tab-separated text with the header line, and text/csv in
  // the Save Results form. Says so when there are neither.
  void Copy();
  // Adds what the clipboard holds (see AddMimeData).
  void Paste();
  // Asks with the count, then deletes every row whose phrase repeats an
  // earlier row's; says so when there is none.
  void RemoveDuplicates();

  // Adds what a paste or a drop brings: files (a results table, a workbook
  // or a keyword list, told apart by what is in them; pictures, archives
  // and other binary files are refused, all refusals of one drop in one
  // message), a table with the six-column header (text/csv preferred, else
  // the text, with a comma, semicolon or tab between fields), or plain
  // lines, one phrase each.
  void AddMimeData(const QMimeData& data);

  // Files or text, while no run goes on.
  bool CanTakeDrop(const QMimeData& data) const override;
  void TakeDrop(const QMimeData& data) override;

 private:
  bool Busy() const { return reading_ || (parts_.busy && parts_.busy()); }
  void AppendTableRows(std::vector<ResultRow> rows);
  void AddFiles(const std::vector<std::string>& paths);
  // Text of a paste or drop (8-bit).
  void AddText(const std::string& text);

  Parts parts_;
  // A read is under way: nothing else may come in meanwhile.
  bool reading_ = false;
  QString openFilter_;
  QAction* actOpenResults = nullptr;
  QAction* actOpenRecent = nullptr;
  QMenu* mnuOpenRecent = nullptr;
  QAction* actCopy = nullptr;
  QAction* actPaste = nullptr;
  QAction* actRemoveDuplicates = nullptr;
};

}  // namespace quorvane
