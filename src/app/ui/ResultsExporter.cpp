#include "app/ui/ResultsExporter.h"

#include <QString>

#include "app/ResultsCsv.h"
#include "base/AtomicFileWriter.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/ui/FileDialogs.h"

namespace quorvane {

ResultsExporter::ResultsExporter(Messages& messages, QWidget* dialogParent)
    : messages_(messages), dialogParent_(dialogParent) {}

void ResultsExporter::SaveResultsCsv(const ResultStore& rows) {
  if (rows.Count() == 0) {
    messages_.Information("You don't have any data to save.");
    return;
  }

  const std::string start = lastPath_.empty() ? ProgramFolder().string() : lastPath_;
  const QString chosen = FileDialogs::GetSaveFileName(dialogParent_, QStringLiteral("Save file"),
                                                      QString::fromLocal8Bit(start),
                                                      QStringLiteral("CSV files (*.csv)"));
  if (chosen.isEmpty()) return;

  const std::string path = CompleteCsvFileName(chosen.toLocal8Bit().toStdString());
  lastPath_ = path;
  // A failed save leaves an earlier file of that name as it was.
  if (const std::error_code error = WriteFileAtomically(path, BuildResultsCsv(rows))) {
    messages_.Warning("The results could not be saved to \"" + path + "\": " + error.message());
  }
}

}  // namespace quorvane
