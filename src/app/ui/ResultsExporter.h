#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "app/CompleteFileName.h"

class QWidget;

namespace quorvane {

class Messages;
class ResultStore;

// "Save Results": asks for a file name and type and writes the results
// table there as CSV or as an Excel workbook. A typed ".csv" or ".xlsx"
// chooses the form whatever type the dialog showed; any other name gets
// the chosen type's extension.
//
// The dialog offers the type used last and starts at the file chosen last
// in this run; the folder and the type are remembered between runs
// (DesktopSettings). Before any save it starts in DefaultFileFolder().
//
// A file of that name is replaced only when the user says so.
class ResultsExporter {
 public:
  ResultsExporter(Messages& messages, QWidget* dialogParent);

  // True when the rows were written.
  bool SaveResultsCsv(const ResultStore& rows);

  const std::string& LastPath() const { return lastPath_; }

 private:
  // The save dialog: the file and form chosen, or nullopt on Cancel.
  std::optional<SaveTarget> AskForTarget();
  // Keeps the choice for the next dialog, in this run and the next ones.
  void Remember(const SaveTarget& target);
  // Writes the file; a failure leaves an earlier file of that name as it was.
  static std::error_code Write(const SaveTarget& target, const ResultStore& rows);
  ResultsFileType OfferedType() const;
  // Asks before a file of that name is replaced; true to go on.
  bool MayWrite(const std::string& path);

  Messages& messages_;
  QWidget* dialogParent_;
  std::string lastPath_;
  std::optional<ResultsFileType> lastType_;
};

}  // namespace quorvane
