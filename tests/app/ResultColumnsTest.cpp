// The results table's columns on the real main window: widths that fit
// what the rows show, counts right-aligned, Keywords taking the spare
// width, widths the user drags kept, and the sort arrow taken away when the
// table is no longer in its order.
#include <gtest/gtest.h>

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "base/ResultRow.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;

namespace {

class ResultColumnsTest : public MainWindowFixture {
 protected:
  ResultColumnsTest() { OpenWindow(WindowOptions().Shown()); }

  QHeaderView* Header() const { return Table()->horizontalHeader(); }
  int Width(int column) const { return Header()->sectionSize(column); }

  // The width the view's own delegate needs to show a cell whole.
  int Needed(int row, int column) const {
    QStyleOptionViewItem option;
    option.initFrom(Table());
    option.font = Table()->font();
    option.fontMetrics = Table()->fontMetrics();
    option.widget = Table();
    return Table()->itemDelegate()->sizeHint(option, Model().index(row, column)).width();
  }

  void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  int SumOfWidths() const {
    int sum = 0;
    for (int c = 0; c < kColumnCount; ++c) sum += Width(c);
    return sum;
  }

  // Rows as they stand, numbers included.
  void Append(const std::vector<std::vector<std::string>>& rows) {
    std::vector<ResultRow> added;
    for (const auto& r : rows) {
      ResultRow row;
      for (std::size_t c = 0; c < r.size(); ++c) row.cells[c] = r[c];
      added.push_back(row);
    }
    window_->Results().AppendRows(added);
  }
};

TEST_F(ResultColumnsTest, EveryNumberAndPhraseShowsWhole) {
  const std::string phrase = "cheap left handed graphite shaft golf clubs for seniors near me";
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= 10000; ++i) {
    rows.push_back({std::to_string(i), i == 7777 ? phrase : "golf", std::to_string(i * 13),
                    i == 5000 ? "3,120,000,000" : "1,200", i % 2 ? "" : "98,765", "4"});
  }
  Append(rows);
  Settle();
  for (int row = 0; row < 10000; ++row) {
    for (const int c : {kColNo, kColSearches, kColGoogle, kColYahoo, kColMsn}) {
      ASSERT_LE(Needed(row, c), Width(c)) << "row " << row << " column " << c << " reads \""
                                          << window_->Results().Cell(row, c) << "\"";
    }
  }
  EXPECT_LE(Needed(7776, kColKeywords), Width(kColKeywords)) << "the long phrase";
  // Counts stand right-aligned, and so do their captions; No and the
  // phrases read from the left.
  for (int c = 0; c < kColumnCount; ++c) {
    const auto expected = Qt::Alignment(c >= kColSearches ? Qt::AlignRight : Qt::AlignLeft);
    EXPECT_EQ(Model().index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              expected)
        << c;
    EXPECT_EQ(Model().headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              expected)
        << c;
  }
}

TEST_F(ResultColumnsTest, AtStartTheColumnsHaveTheirDesignWidthsAndKeywordsTheRest) {
  Settle();
  EXPECT_EQ(Width(kColNo), 49);
  for (const int c : {kColSearches, kColGoogle, kColYahoo, kColMsn}) EXPECT_GE(Width(c), 104) << c;
  EXPECT_EQ(SumOfWidths(), Table()->viewport()->width()) << "no empty strip right of Msn";
  EXPECT_EQ(Table()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(ResultColumnsTest, KeywordsTakesTheSpareWidthAsTheWindowGrowsAndShrinks) {
  Append({{"1", "golf clubs", "120"}});
  Settle();
  const int keywords = Width(kColKeywords);
  const int others = SumOfWidths() - keywords;
  for (const int delta : {200, -150, 60}) {
    window_->resize(window_->width() + delta, window_->height());
    Settle();
    EXPECT_EQ(SumOfWidths() - Width(kColKeywords), others) << "only Keywords changes";
    EXPECT_EQ(SumOfWidths(), Table()->viewport()->width());
  }
  EXPECT_EQ(Width(kColKeywords), keywords + 110);
}

TEST_F(ResultColumnsTest, AHugeCellIsElidedNotLaidOutWhole) {
  Append({{"1", std::string(20'000, 'w'), std::string(5'000, '9')}});
  Settle();
  const int widestCell = 100 * Table()->fontMetrics().averageCharWidth() + 40;
  EXPECT_LE(Width(kColKeywords), std::max(widestCell, Table()->viewport()->width()));
  EXPECT_LE(Width(kColSearches), widestCell);
}

TEST_F(ResultColumnsTest, AColumnTheUserSizedKeepsItsWidthUntilItsEdgeIsDoubleClicked) {
  Append({{"1", "golf", "1,200,000"}});
  Settle();
  const int fitted = Width(kColGoogle);
  Header()->resizeSection(kColGoogle, 300);  // as a drag does
  Settle();
  Append({{"2", "golf balls", "12", "123,456,789,012,345"}});
  window_->resize(window_->width() + 50, window_->height());
  Settle();
  EXPECT_EQ(Width(kColGoogle), 300);
  EXPECT_EQ(SumOfWidths(), Table()->viewport()->width()) << "Keywords gave the room";

  // Narrower than its text: the user's choice stands too.
  Header()->resizeSection(kColNo, 30);
  Settle();
  EXPECT_EQ(Width(kColNo), 30);

  emit Header()->sectionHandleDoubleClicked(kColGoogle);
  emit Header()->sectionHandleDoubleClicked(kColNo);
  Settle();
  EXPECT_GE(Width(kColGoogle), Needed(1, kColGoogle));
  EXPECT_NE(Width(kColGoogle), 300);
  EXPECT_GE(Width(kColGoogle), fitted);
  EXPECT_EQ(Width(kColNo), 49);
}

TEST_F(ResultColumnsTest, TheSortArrowGoesWhenTheTableLeavesItsOrder) {
  struct Case {
    const char* name;
    int column;
    std::function<void(TfrmMain&)> change;
    bool arrowStays;
  };
  const Case cases[] = {
      {"rows appended in order", kColSearches,
       [](TfrmMain& w) {
         w.Results().AppendRows({ResultRow{{"4", "d", "400"}, false}});
       },
       true},
      {"a row appended out of order", kColSearches,
       [](TfrmMain& w) {
         w.Results().AppendRows({ResultRow{{"4", "d", "5"}, false}});
       },
       false},
      {"a phrase appended out of order", kColKeywords,
       [](TfrmMain& w) {
         w.Results().AppendRows({ResultRow{{"4", "Aardvark", ""}, false}});
       },
       false},
      {"a phrase appended in order, letter case aside", kColKeywords,
       [](TfrmMain& w) {
         w.Results().AppendRows({ResultRow{{"4", "Zebra", ""}, false}});
       },
       true},
      {"a count of the sorted column rewritten", kColSearches,
       [](TfrmMain& w) { w.Results().SetCell(0, kColSearches, "1,000"); }, false},
      {"a count of another column rewritten", kColSearches,
       [](TfrmMain& w) { w.Results().SetCell(0, kColGoogle, "1,000"); }, true},
      {"rows ticked", kColSearches, [](TfrmMain& w) { w.btnSelectAllClick(); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window_->Results().Clear();
    Append({{"1", "a", "100"}, {"2", "b", "200"}, {"3", "c", "300"}});
    window_->lvwItemsColumnClick(c.column);
    if (!window_->SortAscending()) window_->lvwItemsColumnClick(c.column);
    ASSERT_TRUE(Header()->isSortIndicatorShown());
    ASSERT_EQ(Header()->sortIndicatorSection(), c.column);
    c.change(*window_);
    EXPECT_EQ(Header()->isSortIndicatorShown(), c.arrowStays);
    // The sort state itself stays: the next click on the column reverses.
    EXPECT_EQ(window_->SortColumn(), c.column);
    EXPECT_TRUE(window_->SortAscending());
  }
}

}  // namespace
