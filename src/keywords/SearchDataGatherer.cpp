#include "keywords/SearchDataGatherer.h"

#include <string>
#include <utility>

#include "base/ResultsTable.h"
#include "keywords/SearchEngines.h"

namespace quorvane {

namespace {

const std::string& HostOf(const ServiceEndpoints& endpoints, SearchEngine engine) {
  switch (engine) {
    case SearchEngine::Google:
      return endpoints.google;
    case SearchEngine::Yahoo:
      return endpoints.yahoo;
    case SearchEngine::Msn:
      break;
  }
  return endpoints.msn;
}

}  // namespace

SearchDataGatherer::SearchDataGatherer(ServiceEndpoints endpoints, FetchFunction fetch,
                                       ResultsTable& table, std::function<bool()> abortRequested,
                                       std::function<void()> processMessages)
    : endpoints_(std::move(endpoints)),
      fetch_(std::move(fetch)),
      table_(table),
      abortRequested_(std::move(abortRequested)),
      processMessages_(std::move(processMessages)) {}

void SearchDataGatherer::GatherSearchData(SearchType type) {
  // Rows added while the run goes on are not visited.
  std::vector<int> rows(static_cast<std::size_t>(table_.RowCount()));
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
  GatherSearchData(type, rows);
}

void SearchDataGatherer::GatherSearchData(SearchType type, const std::vector<int>& rows) {
  const int total = static_cast<int>(rows.size());
  for (int done = 0; done < total; ++done) {
    const int row = rows[static_cast<std::size_t>(done)];
    for (const SearchEngine engine : kSearchEngines) {
      if (abortRequested_()) return;
      // Rows are addressed by index: never past rows that have gone.
      if (row >= table_.RowCount()) return;
      std::string page;
      if (!fetch_(
              SearchUrl(engine, HostOf(endpoints_, engine), table_.Cell(row, kColKeywords), type),
              page))
        continue;  // a failed fetch keeps the cell as it was
      table_.SetCell(row, CountColumn(engine), CutResultCount(engine, page));
      processMessages_();
    }
    if (abortRequested_()) return;
    if (rowDone_) rowDone_(done + 1, total);
  }
}

}  // namespace quorvane
