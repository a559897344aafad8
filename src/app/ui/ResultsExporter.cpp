#include "app/ui/ResultsExporter.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <filesystem>
#include <system_error>

#include "app/ResultsCsv.h"
#include "app/ResultsXlsx.h"
#include "app/ui/DesktopSettings.h"
#include "app/ui/FileHistory.h"
#include "base/AtomicFileWriter.h"
#include "base/Messages.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

const QString kCsvFilter = QStringLiteral("CSV files (*.csv)");
const QString kXlsxFilter = QStringLiteral("Excel workbook (*.xlsx)");

// The remembered names of the two forms.
const QString kCsvName = QStringLiteral("csv");
const QString kXlsxName = QStringLiteral("xlsx");

QString FilterOf(ResultsFileType type) {
  return type == ResultsFileType::kWorkbook ? kXlsxFilter : kCsvFilter;
}

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
  const std::optional<SaveTarget> target = AskForTarget();
  if (!target) return false;
  Remember(*target);
  if (!MayWrite(target->path)) return false;
  if (const std::error_code error = Write(*target, rows)) {
    messages_.Warning("The results could not be saved to \"" + target->path +
                      "\": " + error.message());
    return false;
  }
  RecentFiles::Add(FromLocal(target->path));
  return true;
}

ResultsFileType ResultsExporter::OfferedType() const {
  if (lastType_) return *lastType_;
  return DesktopSettings().SaveType() == kXlsxName ? ResultsFileType::kWorkbook
                                                   : ResultsFileType::kCsv;
}

std::optional<SaveTarget> ResultsExporter::AskForTarget() {
  const QString start =
      lastPath_.empty() ? StartFolder(DesktopSettings().SaveFolder()) : FromLocal(lastPath_);
  QString type = FilterOf(OfferedType());
  const QString chosen =
      FileDialogs::GetSaveFileName(dialogParent_, QStringLiteral("Save file"), start,
                                   kCsvFilter + QStringLiteral(";;") + kXlsxFilter, &type);
  if (chosen.isEmpty()) return std::nullopt;
  return ChooseSaveTarget(ToLocal(chosen),
                          type == kXlsxFilter ? ResultsFileType::kWorkbook : ResultsFileType::kCsv);
}

void ResultsExporter::Remember(const SaveTarget& target) {
  lastPath_ = target.path;
  lastType_ = target.type;
  DesktopSettings settings;
  settings.SetSaveFolder(QFileInfo(FromLocal(target.path)).absolutePath());
  settings.SetSaveType(target.type == ResultsFileType::kWorkbook ? kXlsxName : kCsvName);
}

std::error_code ResultsExporter::Write(const SaveTarget& target, const ResultStore& rows) {
  return target.type == ResultsFileType::kWorkbook
             ? WriteResultsXlsx(target.path, rows)
             : WriteFileAtomically(target.path, BuildResultsCsv(rows));
}

}  // namespace quorvane
