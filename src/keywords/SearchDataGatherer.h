#pragma once

#include <functional>
#include <vector>

#include "base/SearchType.h"
#include "keywords/FetchFunction.h"
#include "web/ServiceEndpoints.h"

namespace quorvane {

class ResultsTable;

// The run of "Gather Data": for every row of the table, asks Google, Yahoo
// and MSN for the phrase's result count and writes it into the row's cell.
// The abort flag is looked at before each service and after the last one
// of a row; the window is pumped after each written cell so that "Stop"
// can reach the run.
class SearchDataGatherer {
 public:
  SearchDataGatherer(ServiceEndpoints endpoints, FetchFunction fetch, ResultsTable& table,
                     std::function<bool()> abortRequested, std::function<void()> processMessages);

  // Visits every row of the table.
  void GatherSearchData(SearchType type);
  // Visits these rows (store indexes) in this order.
  void GatherSearchData(SearchType type, const std::vector<int>& rows);

  // Called after each visited row with the rows done and the rows to visit.
  void OnRowDone(std::function<void(int done, int total)> rowDone) {
    rowDone_ = std::move(rowDone);
  }

 private:
  ServiceEndpoints endpoints_;
  FetchFunction fetch_;
  ResultsTable& table_;
  std::function<bool()> abortRequested_;
  std::function<void()> processMessages_;
  std::function<void(int, int)> rowDone_;
};

}  // namespace quorvane
