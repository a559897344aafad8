#pragma once

#include <functional>

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

  void GatherSearchData(SearchType type);

 private:
  ServiceEndpoints endpoints_;
  FetchFunction fetch_;
  ResultsTable& table_;
  std::function<bool()> abortRequested_;
  std::function<void()> processMessages_;
};

}  // namespace quorvane
