#include "app/ui/ResultsExporter.h"

#include <QString>
#include <filesystem>
#include <system_error>

#include "app/CompleteFileName.h"
#include "app/ResultsCsv.h"
#include "app/ResultsXlsx.h"
#include "base/AtomicFileWriter.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

// The dialog's file types; the first is preselected, so a user who does not
// choose one saves CSV as before.
const QString kCsvFilter = QStringLiteral("CSV files (*.csv)");
const QString kXlsxFilter = QStringLiteral("Excel workbook (*.xlsx)");

}  // namespace

ResultsExporter::ResultsExporter(Messages& messages, QWidget* dialogParent)
    : messages_(messages), dialogParent_(dialogParent) {}

bool ResultsExporter::MayWrite(const std::string& path) {
  // The dialog itself does not ask (it may not know the final name); the
  // question names the file, not its folder, as desktop dialogs do.
  std::error_code ec;
  const std::filesystem::path file(path);
  if (!std::filesystem::exists(file, ec)) return true;
  return messages_.Confirm(file.filename().string() + " already exists. Replace it?");
}

bool ResultsExporter::SaveResultsCsv(const ResultStore& rows) {
  if (rows.Count() == 0) {
    messages_.Information("You don't have any data to save.");
    return false;
  }

  const std::string start = lastPath_.empty() ? ProgramFolder().string() : lastPath_;
  QString type;
  const QString chosen =
      FileDialogs::GetSaveFileName(dialogParent_, QStringLiteral("Save file"), FromLocal(start),
                                   kCsvFilter + QStringLiteral(";;") + kXlsxFilter, &type);
  if (chosen.isEmpty()) return false;

  const bool workbook = type == kXlsxFilter;
  const std::string name = ToLocal(chosen);
  const std::string path = CompleteFileName(name, workbook ? ".xlsx" : ".csv");
  lastPath_ = path;
  if (!MayWrite(path)) return false;
  // A failed save leaves an earlier file of that name as it was.
  const std::error_code error =
      workbook ? WriteResultsXlsx(path, rows) : WriteFileAtomically(path, BuildResultsCsv(rows));
  if (error) {
    messages_.Warning("The results could not be saved to \"" + path + "\": " + error.message());
    return false;
  }
  return true;
}

}  // namespace quorvane
