#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keywords/SearchDataGatherer.h"
#include "support/FakeService.h"
#include "support/MemoryResultsTable.h"

using namespace quorvane;

namespace {

const std::string kGoogle = "http://127.0.0.1:1";
const std::string kYahoo = "http://127.0.0.1:2";
const std::string kMsn = "http://127.0.0.1:3";

std::string GooglePage(const std::string& n) {
  return "<font size=-1>Results <b>1</b> - <b>10</b> of about <b>" + n + "</b> for x\r\n";
}
std::string YahooPage(const std::string& n) {
  return "<span class=\"infotext\">1 - 10 of " + n + " for x</span>\r\n";
}
std::string MsnPage(const std::string& n) {
  return "<span id=\"count\">1-10 of " + n + " results</span>\r\n";
}

class SearchDataGathererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* k : {"golf clubs", "tee", "green  fee", "caddy", "par"}) {
      const int n = table.RowCount();
      table.AppendKeywords({{k, ""}});
      table.SetCell(n, kColGoogle, "oldG");
      table.SetCell(n, kColYahoo, "oldY");
      table.SetCell(n, kColMsn, "oldM");
    }
  }

  void Run(SearchType type) {
    ServiceEndpoints endpoints;
    endpoints.google = kGoogle;
    endpoints.yahoo = kYahoo;
    endpoints.msn = kMsn;
    SearchDataGatherer gatherer(
        endpoints, service.Fetch(), table, [this] { return aborted; },
        [this] {
          ++pumps;
          if (onPump) onPump();
        });
    gatherer.GatherSearchData(type);
  }

  void AnswerRow(const std::string& g, const std::string& y, const std::string& m) {
    service.ThenPage(GooglePage(g));
    service.ThenPage(YahooPage(y));
    service.ThenPage(MsnPage(m));
  }

  std::vector<std::string> Counts(int row) const {
    return {table.Cell(row, kColGoogle), table.Cell(row, kColYahoo), table.Cell(row, kColMsn)};
  }

  FakeService service;
  MemoryResultsTable table;
  bool aborted = false;
  int pumps = 0;
  std::function<void()> onPump;
};

using Counts3 = std::vector<std::string>;

TEST_F(SearchDataGathererTest, PreciseRunVisitsEveryRowInTableOrder) {
  for (int row = 0; row < 5; ++row) {
    const std::string n = std::to_string(row + 1);
    AnswerRow(n + ",000", n + "00", n + "0");
  }
  Run(SearchType::Precise);

  ASSERT_EQ(service.Urls().size(), 15u);
  EXPECT_EQ(service.Urls()[0], kGoogle + "/search?q=%22golf+clubs%22");
  EXPECT_EQ(service.Urls()[1], kYahoo + "/search?p=%22golf+clubs%22");
  EXPECT_EQ(service.Urls()[2], kMsn + "/results.aspx?q=%22golf+clubs%22");
  EXPECT_EQ(service.Urls()[6], kGoogle + "/search?q=%22green++fee%22");
  EXPECT_EQ(Counts(0), (Counts3{"1,000", "100", "10"}));
  EXPECT_EQ(Counts(4), (Counts3{"5,000", "500", "50"}));
  EXPECT_EQ(pumps, 15);
}

TEST_F(SearchDataGathererTest, BroadRunSendsNoQuotes) {
  Run(SearchType::Broad);
  ASSERT_EQ(service.Urls().size(), 15u);
  EXPECT_EQ(service.Urls()[3], kGoogle + "/search?q=tee");
  EXPECT_EQ(service.Urls()[4], kYahoo + "/search?p=tee");
  EXPECT_EQ(service.Urls()[5], kMsn + "/results.aspx?q=tee");
}

TEST_F(SearchDataGathererTest, PageWithoutMarkersEmptiesOnlyItsOwnCell) {
  // Row r gets a page without any marker from engine r and real counts
  // from the other two, so every engine's emptied cell is seen beside
  // counts that prove each page went to the row it was fetched for.
  const Counts3 rows[] = {{"", "12", "13"}, {"21", "", "23"}, {"31", "32", ""}, {"41", "42", "43"}};
  const std::string blank = "<html>no count here</html>";
  for (const Counts3& row : rows) {
    service.ThenPage(row[0].empty() ? blank : GooglePage(row[0]));
    service.ThenPage(row[1].empty() ? blank : YahooPage(row[1]));
    service.ThenPage(row[2].empty() ? blank : MsnPage(row[2]));
  }
  Run(SearchType::Precise);
  for (int row = 0; row < 4; ++row) EXPECT_EQ(Counts(row), rows[row]) << "row " << row;
  EXPECT_EQ(Counts(4), (Counts3{"", "", ""})) << "an empty page holds no count either";
}

TEST_F(SearchDataGathererTest, FailedFetchKeepsTheCellAndTheRunGoesOn) {
  service.ThenPage(GooglePage("11"));
  service.ThenFailure();
  service.ThenPage(MsnPage("33"));
  Run(SearchType::Precise);
  EXPECT_EQ(Counts(0), (Counts3{"11", "oldY", "33"}));
  EXPECT_EQ(service.Urls().size(), 15u);
  EXPECT_EQ(pumps, 14);  // no pump for the cell that was not written
}

TEST_F(SearchDataGathererTest, StopDuringRow3YahooKeepsTheRestUntouched) {
  AnswerRow("1", "1", "1");
  AnswerRow("2", "2", "2");
  service.ThenPage(GooglePage("3"));
  // "Stop" arrives while Yahoo's page of row 3 loads: the fetch is cut.
  service.Then({false, "", [this] { aborted = true; }});

  Run(SearchType::Precise);

  EXPECT_EQ(service.Urls().size(), 8u);
  EXPECT_EQ(Counts(1), (Counts3{"2", "2", "2"}));
  EXPECT_EQ(Counts(2), (Counts3{"3", "oldY", "oldM"}));
  EXPECT_EQ(Counts(3), (Counts3{"oldG", "oldY", "oldM"}));
  EXPECT_EQ(Counts(4), (Counts3{"oldG", "oldY", "oldM"}));
}

TEST_F(SearchDataGathererTest, AbortSeenAtEachCheckpoint) {
  // The flag is set while the window is pumped after the k-th written
  // cell; the run must not send another request.
  for (int k = 1; k <= 6; ++k) {
    FakeService fresh;
    service = std::move(fresh);
    aborted = false;
    pumps = 0;
    onPump = [this, k] { aborted = aborted || pumps == k; };
    Run(SearchType::Broad);
    EXPECT_EQ(service.Urls().size(), static_cast<std::size_t>(k)) << k;
  }
}

TEST_F(SearchDataGathererTest, SetFlagBeforeTheRunSendsNothing) {
  aborted = true;
  Run(SearchType::Precise);
  EXPECT_TRUE(service.Urls().empty());
  EXPECT_EQ(Counts(0), (Counts3{"oldG", "oldY", "oldM"}));
}

TEST_F(SearchDataGathererTest, RowCountIsTakenOnce) {
  onPump = [this] {
    if (pumps == 1) table.AppendKeywords({{"added meanwhile", ""}});
  };
  Run(SearchType::Broad);
  EXPECT_EQ(service.Urls().size(), 15u);
  EXPECT_EQ(Counts(5), (Counts3{"", "", ""}));
}

TEST_F(SearchDataGathererTest, RowsThatWentAwayAreNotAddressed) {
  onPump = [this] {
    if (pumps == 4) table.Clear();
  };
  EXPECT_NO_THROW(Run(SearchType::Broad));
  EXPECT_EQ(service.Urls().size(), 4u);
}

}  // namespace
