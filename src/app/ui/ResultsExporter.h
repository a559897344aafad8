#pragma once

#include <string>

class QWidget;

namespace quorvane {

class Messages;
class ResultStore;

// "Save Results": asks for a file name and type and writes the results
// table there as CSV (the dialog's first type) or as an Excel workbook.
// A file of that name is replaced only when the user says so. Remembers
// the last chosen file for the next save dialog.
class ResultsExporter {
 public:
  ResultsExporter(Messages& messages, QWidget* dialogParent);

  // True when the rows were written.
  bool SaveResultsCsv(const ResultStore& rows);

  const std::string& LastPath() const { return lastPath_; }

 private:
  // Asks before a file of that name is replaced; true to go on.
  bool MayWrite(const std::string& path);

  Messages& messages_;
  QWidget* dialogParent_;
  std::string lastPath_;
};

}  // namespace quorvane
