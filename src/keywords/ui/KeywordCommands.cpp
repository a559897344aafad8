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

constexpr const char* kNoRowsText = "You need add keywords to gather data from search engines.";
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

// What Gather Data says when no row is of the kind asked for.
const char* NoRowsToGatherText(KeywordCommands::Rows rows) {
  switch (rows) {
    case KeywordCommands::Rows::kShown:
      return kNoShownRowText;  // only a filter can leave a table with no row shown
    case KeywordCommands::Rows::kTicked:
      return KeywordCommands::kNoRowsChosenText;
    case KeywordCommands::Rows::kMissing:
      break;
  }
  return kNothingMissingText;
}

}  // namespace

KeywordCommands::KeywordCommands(Parts parts) : parts_(parts) {}

void KeywordCommands::GatherKeywords(const std::string& mainKeyword) {
  parts_.abortRequested = false;
  {
    // However the run ends, its button reads "Gather Keywords" again.
    struct Running {
      KeywordCommands& self;
      explicit Running(KeywordCommands& s) : self(s) { self.SetGatherKeywordsRunning(true); }
      ~Running() { self.SetGatherKeywordsRunning(false); }
      Running(const Running&) = delete;
      Running& operator=(const Running&) = delete;
    } running(*this);
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
          dialog.TrustAuthority(parts_.client.TestAuthority());
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

// A Gather Data run from its start to its end, however it ends.
class KeywordCommands::GatherDataRun {
 public:
  explicit GatherDataRun(KeywordCommands& commands) : commands_(commands) {
    // Rows must keep their places while the run writes cells by row index.
    commands_.parts_.window.SetHeaderSortEnabled(false);
    commands_.parts_.abortRequested = false;
    commands_.SetGatherDataRunning(true);
  }
  ~GatherDataRun() {
    // A stopped run must not cut the news and update requests that follow.
    commands_.parts_.abortRequested = false;
    commands_.SetGatherDataRunning(false);
    // Header clicks that queued up during the run are handled while
    // sorting is still off: they must not reorder the table afterwards.
    commands_.parts_.client.Host().ProcessMessages();
    commands_.parts_.window.SetHeaderSortEnabled(true);
  }
  GatherDataRun(const GatherDataRun&) = delete;
  GatherDataRun& operator=(const GatherDataRun&) = delete;

 private:
  KeywordCommands& commands_;
};

bool KeywordCommands::StopGatherKeywords() {
  if (!gatherKeywordsRunning_) return false;
  parts_.abortRequested = true;
  parts_.client.Disconnect();
  SetGatherKeywordsRunning(false);
  return true;
}

void KeywordCommands::SetGatherKeywordsRunning(bool running) {
  gatherKeywordsRunning_ = running;
  parts_.btnGatherKeyword->setText(QLatin1String(running ? kStopCaption : kGatherKeywordsCaption));
  parts_.window.GatherKeywordsRunningChanged();
}

void KeywordCommands::SetGatherDataRunning(bool running) {
  gatherDataRunning_ = running;
  parts_.btnGatherData->setText(QLatin1String(running ? kStopCaption : kGatherDataCaption));
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
  SetGatherDataRunning(false);
  parts_.window.SetHeaderSortEnabled(true);
  parts_.client.Host().ProcessMessages();
  return true;
}

std::vector<int> KeywordCommands::RowsToGather(Rows rows) const {
  switch (rows) {
    case Rows::kShown:
      return parts_.window.ShownRows();
    case Rows::kTicked:
      return parts_.window.ChosenRows();
    case Rows::kMissing:
      break;
  }
  std::vector<int> missing;
  for (const int row : parts_.window.ShownRows()) {
    for (const int column : {kColGoogle, kColYahoo, kColMsn}) {
      if (parts_.table.Cell(row, column).empty()) {
        missing.push_back(row);
        break;
      }
    }
  }
  return missing;
}

void KeywordCommands::GatherData(Rows which) {
  if (RefuseEmptyTable()) return;
  const std::vector<int> rows = RowsToGather(which);
  if (rows.empty()) {
    parts_.messages.Information(NoRowsToGatherText(which));
    return;
  }
  {
    TfrmSelSearch dialog(parts_.dialogParent);
    if (dialog.exec() != QDialog::Accepted) return;
    searchType_ = dialog.ChosenSearchType();
  }
  // They end in reverse order: the progress panel goes, the commands come
  // back, then the run ends.
  const GatherDataRun run(*this);
  const BusyScope busy(parts_.window);
  const RunScope progress(parts_.window, static_cast<int>(rows.size()));
  SearchDataGatherer gatherer(
      parts_.endpoints,
      [this](const std::string& url, std::string& page) {
        return FetchUrl(parts_.client, url, page);
      },
      parts_.table, [this] { return parts_.abortRequested; },
      [this] { parts_.client.Host().ProcessMessages(); });
  gatherer.OnRowDone([this](int done, int) { parts_.window.RunRowsDone(done); });
  gatherer.GatherSearchData(searchType_, rows);
}

}  // namespace quorvane
