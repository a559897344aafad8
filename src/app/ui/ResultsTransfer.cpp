#include "app/ui/ResultsTransfer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTableView>
#include <QUrl>
#include <utility>

#include "app/GroupThousands.h"
#include "app/ResultsCsv.h"
#include "app/ResultsCsvReader.h"
#include "app/ui/ChosenRows.h"
#include "app/ui/MainStatusBar.h"
#include "app/ui/ResultsModel.h"
#include "base/Messages.h"
#include "base/ui/CrashHandler.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/LocalText.h"
#include "keywords/KeywordFile.h"
#include "keywords/ui/KeywordCommands.h"

namespace quorvane {

namespace {

constexpr const char* kCsvMimeType = "text/csv";

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
    connect(action, &QAction::triggered, this,
            [this, handler] { CrashHandler::Guard([&] { (this->*handler)(); }); });
    parts_.table->insertAction(before, action);
    return action;
  };
  actOpenResults = add("actOpenResults", "Open Results\u2026", QKeySequence::Open,
                       &ResultsTransfer::OpenResults);
  actCopy = add("actCopy", "Copy", QKeySequence::Copy, &ResultsTransfer::Copy);
  actPaste = add("actPaste", "Paste", QKeySequence::Paste, &ResultsTransfer::Paste);
  actRemoveDuplicates = add("actRemoveDuplicates", "Remove Duplicates", QKeySequence(),
                            &ResultsTransfer::RemoveDuplicates);
}

void ResultsTransfer::SetIdle(bool idle) {
  for (QAction* action : {actOpenResults, actPaste, actRemoveDuplicates})
    if (action != nullptr) action->setEnabled(idle);
}

void ResultsTransfer::AppendTableRows(std::vector<ResultRow> rows) {
  if (rows.empty()) return;
  parts_.model.AppendNumbered(std::move(rows));
  parts_.statusBar.ShowTotal(parts_.model.RowCount());
}

void ResultsTransfer::OpenResults() {
  if (Busy()) return;
  const QString path = FileDialogs::GetOpenFileName(
      parts_.table->window(), QStringLiteral("Open Results"), QString(),
      QStringLiteral("CSV files (*.csv);;Text files (*.txt);;All files (*)"));
  if (path.isEmpty()) return;
  OpenResultsFile(ToLocal(path));
}

bool ResultsTransfer::OpenResultsFile(const std::string& path) {
  ResultsFile file = ReadResultsFile(path);
  if (!file.readable || !file.text.ok()) {
    parts_.messages.Warning(ResultsFileMessage(path, file));
    return false;
  }
  const bool intoEmptyTable = parts_.model.RowCount() == 0;
  AppendTableRows(std::move(file.text.rows));
  // What the table holds is then in that file: closing needs no question.
  if (intoEmptyTable) parts_.model.MarkSaved();
  return true;
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
  if (data.hasUrls()) {
    bool anyFile = false;
    for (const QUrl& url : data.urls()) {
      if (!url.isLocalFile()) continue;
      anyFile = true;
      AddFile(ToLocal(url.toLocalFile()));
    }
    if (anyFile) return;
  }
  if (data.hasFormat(QLatin1String(kCsvMimeType))) {
    const QByteArray bytes = data.data(QLatin1String(kCsvMimeType));
    ResultsText text = ParseResultsText(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    // Another program's CSV that is no results table is taken as text.
    if (text.ok() && text.table) {
      AppendTableRows(std::move(text.rows));
      return;
    }
  }
  if (data.hasText()) AddText(ToLocal(data.text()));
}

void ResultsTransfer::AddFile(const std::string& path) {
  ResultsFile file = ReadResultsFile(path);
  if (file.readable && !file.text.table) {
    // No results header: a keyword list, read as Add Keywords reads one.
    parts_.importKeywordFile(path);
    return;
  }
  if (!file.readable || !file.text.ok()) {
    parts_.messages.Warning(ResultsFileMessage(path, file));
    return;
  }
  AppendTableRows(std::move(file.text.rows));
}

void ResultsTransfer::AddText(const std::string& text) {
  if (StartsWithResultsHeader(text, '\t')) {
    ResultsText table = ParseResultsText(text, '\t');
    if (!table.ok()) {
      parts_.messages.Warning("The pasted text is not a results table: line " +
                              std::to_string(table.badLine) + " " + table.problem + ".");
      return;
    }
    AppendTableRows(std::move(table.rows));
    return;
  }
  // Plain lines: one phrase each, kept as a keyword file's lines are; the
  // empty lines a selection often ends with add nothing.
  std::vector<NewKeyword> keywords;
  for (std::string& line : SplitKeywordLines(text))
    if (!line.empty()) keywords.push_back(NewKeyword{std::move(line), {}});
  if (keywords.empty()) return;
  parts_.model.AppendKeywords(keywords);
  parts_.statusBar.ShowTotal(parts_.model.RowCount());
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
