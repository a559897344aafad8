// The suggestion page parser on arbitrary pages.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "base/ResultsTable.h"
#include "keywords/SuggestionParser.h"

using namespace quorvane;

namespace {

// Rows in memory, as the window's table would hold them.
class Table : public ResultsTable {
 public:
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  void AddResultRow(const std::string& no, const std::string& keyword,
                    const std::string& searches) override {
    rows_.push_back({no, keyword, searches, "", "", ""});
  }
  std::string Cell(int row, int column) const override {
    return rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
  }
  void SetCell(int row, int column, const std::string& text) override {
    rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)) = text;
  }
  void Clear() override { rows_.clear(); }
  void ShowItemCount() override { shownCounts_.push_back(RowCount()); }
  void SetHeaderSortEnabled(bool) override {}

  std::vector<std::array<std::string, kColumnCount>> rows_;
  std::vector<int> shownCounts_;
};

// What StripHtml leaves: trimmed, without tabs, line breaks or quotes.
bool LooksStripped(const std::string& text) {
  return !HasBlankEdge(text) && text.find_first_of("\t\r\n\"") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page = AsText(data, size);
  FUZZ_CHECK(IsSecurityImagePage(page) ==
             (page.find("Please enter the characters in the image") != std::string_view::npos));

  Table table;
  table.AddResultRow("1", "kept", "7");  // rows already there stay
  ParseSuggestions(page, table);

  FUZZ_CHECK(table.rows_.front()[kColKeywords] == "kept");
  if (page.find("</tfoot>") == std::string_view::npos) FUZZ_CHECK(table.rows_.size() == 1);
  FUZZ_CHECK(table.shownCounts_.size() == table.rows_.size() - 1);
  for (std::size_t i = 1; i < table.rows_.size(); ++i) {
    const auto& row = table.rows_[i];
    FUZZ_CHECK(row[kColNo] == std::to_string(i + 1));
    FUZZ_CHECK(table.shownCounts_[i - 1] == static_cast<int>(i + 1));
    FUZZ_CHECK(!row[kColSearches].empty());
    FUZZ_CHECK(LooksStripped(row[kColSearches]));
    FUZZ_CHECK(LooksStripped(row[kColKeywords]));
    FUZZ_CHECK(row[kColGoogle].empty() && row[kColYahoo].empty() && row[kColMsn].empty());
  }
  // Every row needs a count cell of its own.
  if (table.rows_.size() > 1) FUZZ_CHECK(ContainsNoCase(page, "<tr><td>"));
  return 0;
}
