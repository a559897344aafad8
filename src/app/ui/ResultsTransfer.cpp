#include "app/ui/ResultsTransfer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTableView>
#include <QUrl>
#include <utility>

#include "app/GroupThousands.h"
#include "app/ResultsCsv.h"
#include "app/ResultsCsvReader.h"
#include "app/ResultsFileReader.h"
#include "app/ResultsLimits.h"
#include "app/ui/ChosenRows.h"
#include "app/ui/DesktopSettings.h"
#include "app/ui/FileHistory.h"
#include "app/ui/MainStatusBar.h"
#include "app/ui/ResultsModel.h"
#include "app/ui/WorkProgress.h"
#include "base/Messages.h"
#include "base/ui/CrashHandler.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/LocalText.h"
#include "keywords/ui/KeywordCommands.h"

namespace quorvane {

namespace {

constexpr const char* kCsvMimeType = "text/csv";

// The open dialog's file types; the first takes every form Open Results
// reads.
const QString kOpenFilters = QStringLiteral(
    "Results files (*.csv *.xlsx *.txt);;CSV files (*.csv);;Excel workbook (*.xlsx);;"
    "Text files (*.txt);;All files (*)");

// Marks a read as under way for as long as it lives.
class ReadingScope {
 public:
  explicit ReadingScope(bool& reading) : reading_(reading) { reading_ = true; }
  ~ReadingScope() { reading_ = false; }
  ReadingScope(const ReadingScope&) = delete;
  ReadingScope& operator=(const ReadingScope&) = delete;

 private:
  bool& reading_;
};

QString ReadingLabel(const std::string& path) {
  return QStringLiteral("Reading %1\u2026").arg(QFileInfo(FromLocal(path)).fileName());
}

// A menu entry's text shows '&' itself instead of taking it as a mnemonic.
QString MenuText(QString text) {
  return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

ResultsTransfer::ResultsTransfer(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)) {
  parts_.model.SetDropTarget(this);
  parts_.table->setDragDropMode(QAbstractItemView::DropOnly);
  parts_.table->viewport()->setAcceptDrops(true);
  // The whole table takes a drop: no line between rows marks a place.
  parts_.table->setDropIndicatorShown(false);
}

void ResultsTransfer::AddActions(QAction* before) {
  const auto add = [&](const char* name, const char* text, const QKeySequence& keys,
                       void (ResultsTransfer::*handler)()) {
    auto* action = new QAction(QString::fromUtf8(text), parts_.table);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    if (handler != nullptr)
      connect(action, &QAction::triggered, this,
              [this, handler] { CrashHandler::Guard([&] { (this->*handler)(); }); });
    parts_.table->insertAction(before, action);
    return action;
  };
  actOpenResults = add("actOpenResults", "Open Results\u2026", QKeySequence::Open,
                       &ResultsTransfer::OpenResults);
  actOpenRecent = add("actOpenRecent", "Open Recent", QKeySequence(), nullptr);
  mnuOpenRecent = new QMenu(parts_.table);
  mnuOpenRecent->setObjectName(QStringLiteral("mnuOpenRecent"));
  actOpenRecent->setMenu(mnuOpenRecent);
  connect(mnuOpenRecent, &QMenu::aboutToShow, this,
          [this] { CrashHandler::Guard([&] { FillRecentMenu(); }); });
  actCopy = add("actCopy", "Copy", QKeySequence::Copy, &ResultsTransfer::Copy);
  actPaste = add("actPaste", "Paste", QKeySequence::Paste, &ResultsTransfer::Paste);
  actRemoveDuplicates = add("actRemoveDuplicates", "Remove Duplicates", QKeySequence(),
                            &ResultsTransfer::RemoveDuplicates);
}

void ResultsTransfer::SetIdle(bool idle) {
  for (QAction* action : {actOpenResults, actOpenRecent, actPaste, actRemoveDuplicates})
    if (action != nullptr) action->setEnabled(idle);
}

void ResultsTransfer::AppendTableRows(std::vector<ResultRow> rows) {
  if (rows.empty()) return;
  parts_.model.AppendNumbered(std::move(rows));
  parts_.statusBar.ShowTotal(parts_.model.RowCount());
}

void ResultsTransfer::OpenResults() {
  if (Busy()) return;
  DesktopSettings settings;
  QString filter = openFilter_.isEmpty() ? settings.OpenFilter() : openFilter_;
  const QString path =
      FileDialogs::GetOpenFileName(parts_.table->window(), QStringLiteral("Open Results"),
                                   StartFolder(settings.OpenFolder()), kOpenFilters, &filter);
  if (path.isEmpty()) return;
  openFilter_ = filter;
  settings.SetOpenFilter(filter);
  settings.SetOpenFolder(QFileInfo(path).absolutePath());
  OpenResultsFile(ToLocal(path));
}

bool ResultsTransfer::OpenResultsFile(const std::string& path) {
  if (reading_) return false;
  ResultsFile file;
  {
    const ReadingScope reading(reading_);
    WorkProgress progress(parts_.table->window(), ReadingLabel(path));
    ReadOptions options;
    options.progress = progress.Callback();
    file = ReadResultsFile(path, options);
  }
  if (file.text.cancelled) return false;
  if (!ResultsFileProblem(file).empty()) {
    parts_.messages.Warning(ResultsFileMessage(path, file));
    return false;
  }
  const bool intoEmptyTable = parts_.model.RowCount() == 0;
  AppendTableRows(std::move(file.text.rows));
  // What the table holds is then in that file: closing needs no question.
  if (intoEmptyTable) parts_.model.MarkSaved();
  RecentFiles::Add(FromLocal(path));
  return true;
}

void ResultsTransfer::FillRecentMenu() {
  mnuOpenRecent->clear();
  const QStringList gone = RecentFiles::DropMissing();
  const QStringList files = RecentFiles::Entries();
  if (files.isEmpty())
    mnuOpenRecent->addAction(QStringLiteral("No recent files"))->setEnabled(false);
  for (int i = 0; i < files.size(); ++i) {
    const QString file = files[i];
    QAction* entry =
        mnuOpenRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(MenuText(file)));
    entry->setObjectName(QStringLiteral("actRecentFile%1").arg(i + 1));
    connect(entry, &QAction::triggered, this, [this, file] {
      CrashHandler::Guard([&] {
        if (!Busy()) OpenResultsFile(ToLocal(file));
      });
    });
  }
  if (gone.isEmpty()) return;
  mnuOpenRecent->addSeparator();
  for (const QString& file : gone)
    mnuOpenRecent->addAction(QStringLiteral("Gone, taken off the list: %1").arg(MenuText(file)))
        ->setEnabled(false);
}

void ResultsTransfer::Copy() {
  // Rows a filter hides are never copied.
  const std::vector<int> rows = ChosenRows(*parts_.table, parts_.model);
  if (rows.empty()) {
    parts_.messages.Information(KeywordCommands::kNoRowsChosenText);
    return;
  }
  const ResultStore& store = parts_.model.Store();
  auto* data = new QMimeData;
  data->setText(FromLocal(BuildResultsTabText(store, rows)));
  const std::string csv = BuildResultsCsv(store, rows);
  data->setData(QLatin1String(kCsvMimeType),
                QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
  QApplication::clipboard()->setMimeData(data);
}

void ResultsTransfer::Paste() {
  if (Busy()) return;
  if (const QMimeData* data = QApplication::clipboard()->mimeData()) AddMimeData(*data);
}

void ResultsTransfer::AddMimeData(const QMimeData& data) {
  if (reading_) return;
  if (data.hasUrls()) {
    std::vector<std::string> files;
    for (const QUrl& url : data.urls())
      if (url.isLocalFile()) files.push_back(ToLocal(url.toLocalFile()));
    if (!files.empty()) {
      AddFiles(files);
      return;
    }
  }
  if (data.hasFormat(QLatin1String(kCsvMimeType))) {
    const QByteArray bytes = data.data(QLatin1String(kCsvMimeType));
    if (static_cast<std::size_t>(bytes.size()) <= kMaxResultsBytes) {
      ResultsText text;
      {
        const ReadingScope reading(reading_);
        WorkProgress progress(parts_.table->window(),
                              QStringLiteral("Reading the pasted table\u2026"));
        text = ParseResultsText(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), 0,
            progress.Callback());
      }
      if (text.cancelled) return;
      // Another program's CSV that is no results table is taken as text.
      if (text.ok() && text.table) {
        AppendTableRows(std::move(text.rows));
        return;
      }
    }
  }
  if (data.hasText()) AddText(ToLocal(data.text()));
}

void ResultsTransfer::AddFiles(const std::vector<std::string>& paths) {
  std::vector<std::string> problems;
  std::vector<std::string> notes;
  std::string onlyProblem;
  for (const std::string& path : paths) {
    ResultsFile file;
    {
      const ReadingScope reading(reading_);
      WorkProgress progress(parts_.table->window(), ReadingLabel(path));
      ReadOptions options;
      options.linesArePhrases = true;
      options.progress = progress.Callback();
      file = ReadResultsFile(path, options);
    }
    if (file.text.cancelled) break;
    const std::string problem = ResultsFileProblem(file);
    if (!problem.empty()) {
      problems.push_back("\"" + path + "\" " + problem + ".");
      onlyProblem = ResultsFileMessage(path, file);
      continue;
    }
    AppendTableRows(std::move(file.text.rows));
    if (file.text.linesBeforeNul >= 0)
      notes.push_back(StopsAtNulNote("The file \"" + path + "\"", file.text.linesBeforeNul));
  }
  // One message for the whole drop, however many files it brought.
  if (problems.size() == 1 && notes.empty()) {
    parts_.messages.Warning(onlyProblem);
  } else if (!problems.empty()) {
    std::string text = ResultsFilesSummary(problems);
    if (!notes.empty()) text += "\n\n" + Joined(notes);
    parts_.messages.Warning(text);
  } else if (!notes.empty()) {
    parts_.messages.Information(Joined(notes));
  }
}

void ResultsTransfer::AddText(const std::string& text) {
  if (text.size() > kMaxResultsBytes) {
    parts_.messages.Warning("The pasted text is " + ByteSizeText(text.size()) + ", more than the " +
                            ByteSizeText(kMaxResultsBytes) +
                            " one paste may bring: nothing was added.");
    return;
  }
  ResultsText parsed;
  {
    const ReadingScope reading(reading_);
    WorkProgress progress(parts_.table->window(), QStringLiteral("Reading the pasted text\u2026"));
    parsed = ParseResultsOrLines(text, progress.Callback());
  }
  if (parsed.cancelled) return;
  if (!parsed.ok()) {
    parts_.messages.Warning("The pasted text is not a results table: " + std::string(parsed.place) +
                            " " + std::to_string(parsed.badLine) + " " + parsed.problem + ".");
    return;
  }
  const int linesBeforeNul = parsed.linesBeforeNul;
  AppendTableRows(std::move(parsed.rows));
  if (linesBeforeNul >= 0)
    parts_.messages.Information(StopsAtNulNote("The pasted text", linesBeforeNul));
}

void ResultsTransfer::RemoveDuplicates() {
  if (Busy()) return;
  const int count = static_cast<int>(parts_.model.Store().DuplicateRows().size());
  if (count == 0) {
    parts_.messages.Information("There are no duplicate rows.");
    return;
  }
  const std::string question = count == 1 ? std::string("Remove 1 duplicate row?")
                                          : "Remove " + GroupThousands(count) + " duplicate rows?";
  if (!parts_.messages.Confirm(question)) return;
  parts_.model.RemoveDuplicates();
  parts_.statusBar.ShowItemCount(parts_.model.RowCount());
}

bool ResultsTransfer::CanTakeDrop(const QMimeData& data) const {
  return !Busy() && (data.hasUrls() || data.hasText());
}

void ResultsTransfer::TakeDrop(const QMimeData& data) {
  CrashHandler::Guard([&] { AddMimeData(data); });
}

}  // namespace quorvane
