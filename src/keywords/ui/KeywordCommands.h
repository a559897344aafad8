#pragma once

#include <string>
#include <vector>

#include "base/SearchType.h"
#include "web/ServiceEndpoints.h"

class QAbstractButton;
class QWidget;

namespace quorvane {

class HttpClient;
class Messages;
class ResultsTable;

// The main window's keyword research over the network: "Gather Keywords"
// and "Gather Data", each with its "Stop". The main window owns one and
// forwards its handlers to it.
class KeywordCommands {
 public:
  // What a run needs from the window around it.
  class Window {
   public:
    virtual ~Window() = default;
    // Disables (true) or gives back (false) the commands that would change
    // the table or use the client; calls nest.
    virtual void SetCommandsBusy(bool busy) = 0;
    // While off, a click on a column header does nothing.
    virtual void SetHeaderSortEnabled(bool enabled) = 0;
    // Shows the table's row count in the status bar.
    virtual void ShowItemCount() = 0;
    // The table's rows the user sees, in table order (store row indexes):
    // every row unless a filter hides some.
    virtual std::vector<int> ShownRows() const = 0;
    // The rows the user chose, in table order: the shown rows whose check
    // box is ticked or, when none is ticked, the highlighted rows.
    virtual std::vector<int> ChosenRows() const = 0;
    // A run's own progress: a run over `rows` rows begins (0 for Gather
    // Keywords, whose length nobody knows beforehand), `done` of them are
    // finished, the run is over (also when stopped or failed).
    virtual void RunBegins(int rows) = 0;
    virtual void RunRowsDone(int done) = 0;
    virtual void RunEnds() = 0;
    // Gather Keywords began or ended, or its Stop was clicked: the window
    // offers its Stop (button and key) only while the run goes on.
    virtual void GatherKeywordsRunningChanged() = 0;
  };

  struct Parts {
    HttpClient& client;  // its host is pumped between the cells of Gather Data
    Messages& messages;
    ResultsTable& table;
    const ServiceEndpoints& endpoints;
    // The window's abort flag, which its client also reads: a run clears
    // it at start and end, Stop sets it.
    bool& abortRequested;
    Window& window;
    QWidget* dialogParent;
    // Reads kStopCaption while a Gather Data run goes on, kGatherDataCaption
    // otherwise.
    QAbstractButton* btnGatherData;
    // Reads kStopCaption while Gather Keywords runs, kGatherKeywordsCaption
    // otherwise.
    QAbstractButton* btnGatherKeyword;
  };

  // The captions of btnGatherData and btnGatherKeyword.
  static constexpr const char* kGatherDataCaption = "Gather Data";
  static constexpr const char* kGatherKeywordsCaption = "Gather Keywords";
  static constexpr const char* kStopCaption = "Stop";
  // What a command on the chosen rows (see Window::ChosenRows) says when
  // the user chose none; the table's own commands say the same.
  static constexpr const char* kNoRowsChosenText = "No rows are ticked or highlighted.";

  // The rows a Gather Data run visits, in table order.
  enum class Rows {
    kShown,    // "Gather Data": every shown row
    kTicked,   // "Gather Data for Ticked Rows": the chosen rows (ticked, else
               // highlighted)
    kMissing,  // "Gather Missing Data": the shown rows with an empty engine
               // cell, so that a stopped run goes on where it stopped
  };

  explicit KeywordCommands(Parts parts);
  KeywordCommands(const KeywordCommands&) = delete;
  KeywordCommands& operator=(const KeywordCommands&) = delete;

  // "Gather Keywords": suggestions for the main keyword, through the
  // security-image dialog as long as the service asks for it. Its button
  // reads "Stop" meanwhile. Rows are added all at once when a suggestion
  // page has arrived whole, so a stopped run adds none.
  void GatherKeywords(const std::string& mainKeyword);
  // The Stop of a running Gather Keywords: sets the abort flag and cuts
  // the request. True when a run was stopped.
  bool StopGatherKeywords();
  // True from the start of Gather Keywords until it ends or Stop is
  // clicked.
  bool GatherKeywordsRunning() const { return gatherKeywordsRunning_; }

  // The part of a Gather Data click that needs no request: on an empty
  // table it says that keywords are needed, during a run it stops the run.
  // True when that handled the click.
  bool RefuseOrStopGatherData();
  // Gather Data over these rows: asks for the search type, then the three
  // engines' counts of each row. On an empty table, or when no row is of
  // the kind asked for, it says so and asks nothing.
  void GatherData(Rows rows);
  // True from the start of a Gather Data run until it ends or Stop is
  // clicked.
  bool GatherDataRunning() const { return gatherDataRunning_; }

  // The search type of the last Gather Data run.
  SearchType CurrentSearchType() const { return searchType_; }

 private:
  class GatherDataRun;

  // Says that there is nothing to gather data for when the table is empty.
  bool RefuseEmptyTable();
  // The store rows of that kind.
  std::vector<int> RowsToGather(Rows rows) const;
  void SetGatherDataRunning(bool running);
  void SetGatherKeywordsRunning(bool running);

  Parts parts_;
  SearchType searchType_ = SearchType::Precise;
  bool gatherDataRunning_ = false;
  bool gatherKeywordsRunning_ = false;
};

}  // namespace quorvane
