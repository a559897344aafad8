#include "keywords/ui/KeywordCommands.h"

#include <QAbstractButton>
#include <QDialog>

#include "base/Messages.h"
#include "base/ResultRow.h"
#include "base/ResultsTable.h"
#include "keywords/KeywordGatherer.h"
#include "keywords/SearchDataGatherer.h"
#include "keywords/ui/FCaptcha.h"
#include "keywords/ui/FSelectSearch.h"
#include "web/FetchUrl.h"
#include "web/HttpClient.h"

namespace quorvane {

namespace {

constexpr const char* kStopCaption = "Stop";
constexpr const char* kGatherDataCaption = "Gather Data";
constexpr const char* kNoRowsText = "You need add keywords to gather data from search engines.";
constexpr const char* kNoTickedRowText = "Tick the rows you want to gather data for.";
constexpr const char* kNoShownRowText = "The filter shows no rows to gather data for.";
constexpr const char* kNothingMissingText = "Every row already has its search engine data.";

// Keeps the window's commands disabled for the whole of a gathering run,
// also between its fetches and on the way out of an error.
class BusyScope {
 public:
  explicit BusyScope(KeywordCommands::Window& window) : window_(window) {
    window_.SetCommandsBusy(true);
  }
  ~BusyScope() { window_.SetCommandsBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  KeywordCommands::Window& window_;
};

// A run's progress from its start to its end, however it ends.
class RunScope {
 public:
  RunScope(KeywordCommands::Window& window, int rows) : window_(window) { window_.RunBegins(rows); }
  ~RunScope() { window_.RunEnds(); }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  KeywordCommands::Window& window_;
};

}  // namespace

KeywordCommands::KeywordCommands(Parts parts) : parts_(parts) {}

void KeywordCommands::GatherKeywords(const std::string& mainKeyword) {
  parts_.abortRequested = false;
  {
    const BusyScope busy(parts_.window);
    const RunScope run(parts_.window, 0);
    KeywordGatherer gatherer(
        parts_.endpoints.suggest,
        [this](const std::string& url, std::string& page) {
          return FetchUrl(parts_.client, url, page);
        },
        parts_.table, parts_.messages,
        [this](const std::string& pageHtml) {
          TfrmCaptcha dialog(parts_.messages, parts_.dialogParent);
          dialog.SetPageHtml(pageHtml);
          dialog.exec();
          return SecurityImageAnswer{dialog.Password(), dialog.RandomValue(), dialog.SeedValue()};
        },
        [this] { return parts_.abortRequested; });
    if (gatherer.Run(mainKeyword) > 0) parts_.window.ShowItemCount();
  }
  // A stopped or closed run must not cut the news and update requests
  // that follow it.
  parts_.abortRequested = false;
}

bool KeywordCommands::GatherDataRunning() const {
  return parts_.btnGatherData->text() != QLatin1String(kGatherDataCaption);
}

bool KeywordCommands::RefuseEmptyTable() {
  if (parts_.table.RowCount() != 0) return false;
  parts_.messages.Information(kNoRowsText);
  return true;
}

bool KeywordCommands::RefuseOrStopGatherData() {
  if (RefuseEmptyTable()) return true;
  if (!GatherDataRunning()) return false;
  parts_.abortRequested = true;
  parts_.client.Disconnect();
  parts_.btnGatherData->setText(QLatin1String(kGatherDataCaption));
  parts_.window.SetHeaderSortEnabled(true);
  parts_.client.Host().ProcessMessages();
  return true;
}

void KeywordCommands::GatherData() {
  const std::vector<int> rows = parts_.window.ShownRows();
  // Only a filter can leave a table with rows showing none of them.
  if (rows.empty()) {
    parts_.messages.Information(kNoShownRowText);
    return;
  }
  RunGatherData(rows);
}

void KeywordCommands::GatherTickedData() {
  if (RefuseEmptyTable()) return;
  const std::vector<int> rows = parts_.window.TickedShownRows();
  if (rows.empty()) {
    parts_.messages.Information(kNoTickedRowText);
    return;
  }
  RunGatherData(rows);
}

void KeywordCommands::GatherMissingData() {
  if (RefuseEmptyTable()) return;
  std::vector<int> rows;
  for (const int row : parts_.window.ShownRows()) {
    for (const int column : {kColGoogle, kColYahoo, kColMsn}) {
      if (parts_.table.Cell(row, column).empty()) {
        rows.push_back(row);
        break;
      }
    }
  }
  if (rows.empty()) {
    parts_.messages.Information(kNothingMissingText);
    return;
  }
  RunGatherData(rows);
}

void KeywordCommands::RunGatherData(const std::vector<int>& rows) {
  {
    TfrmSelSearch dialog(parts_.dialogParent);
    if (dialog.exec() != QDialog::Accepted) return;
    searchType_ = dialog.ChosenSearchType();
  }
  // Rows must keep their places while the run writes cells by row index.
  parts_.window.SetHeaderSortEnabled(false);
  parts_.abortRequested = false;
  parts_.btnGatherData->setText(QLatin1String(kStopCaption));
  try {
    const BusyScope busy(parts_.window);
    const RunScope run(parts_.window, static_cast<int>(rows.size()));
    SearchDataGatherer gatherer(
        parts_.endpoints,
        [this](const std::string& url, std::string& page) {
          return FetchUrl(parts_.client, url, page);
        },
        parts_.table, [this] { return parts_.abortRequested; },
        [this] { parts_.client.Host().ProcessMessages(); });
    gatherer.OnRowDone([this](int done, int) { parts_.window.RunRowsDone(done); });
    gatherer.GatherSearchData(searchType_, rows);
  } catch (...) {
    EndGatherData();
    throw;
  }
  EndGatherData();
}

void KeywordCommands::EndGatherData() {
  // A stopped run must not cut the news and update requests that follow.
  parts_.abortRequested = false;
  parts_.btnGatherData->setText(QLatin1String(kGatherDataCaption));
  parts_.client.Host().ProcessMessages();
  parts_.window.SetHeaderSortEnabled(true);
}

}  // namespace quorvane
