// The News command and the news window against the simulated news
// service: the list, the bodies shown on selection, the last-news marker
// and the selection held still while a body loads.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "publisher/ui/FNews.h"
#include "publisher/ui/PublisherServices.h"
#include "sim/Simulator.h"
#include "support/FakeFetchHost.h"
#include "support/ModalDialogs.h"
#include "support/NewsBrand.h"
#include "support/RecordingMessages.h"
#include "web/HttpClient.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Box = RecordingMessages::Box;
using Strings = std::vector<std::string>;

const std::string kNoNews = "There's no news for this application!";

class NewsWindowTest : public ::testing::Test {
 protected:
  NewsWindowTest() {
    const NewsBrand news = NewsBrand("pub-gold", "QV-DEMO")
                               .Items({{5, "Older news", "2024-01-01", "<p>five</p>"},
                                       {9, "Cost $5E", "2024-02-02", "<p>Cost: 9 ^ more</p>"}});
    news.Serve(sim_);
    brand_ = news.Settings(sim_.BaseUrl() + "/news/");
    // Keeps the windows answering while a request waits, as the main window does.
    host_.onPump = [] { QCoreApplication::processEvents(); };
    mainWindow_.resize(300, 200);
    mainWindow_.show();
  }

  // Runs the News command; `inWindow` runs once the news window is up
  // and must close it.
  void RunNewsCommand(const std::function<void(TfrmNews&)>& inWindow) {
    bool opened = false;
    WhenModalOpens([&](QWidget* dialog) {
      auto* window = qobject_cast<TfrmNews*>(dialog);
      ASSERT_NE(window, nullptr);
      opened = true;
      inWindow(*window);
      if (window->isVisible()) window->btnExit->click();
    });
    services_.NewsCommand(newsItems_);
    windowOpened_ = opened;
  }

  static void SelectRow(TfrmNews& window, int row) {
    QTreeWidgetItem* item = window.lvwItems->topLevelItem(row);
    const QRect rect = window.lvwItems->visualItemRect(item);
    QTest::mouseClick(window.lvwItems->viewport(), Qt::LeftButton, {}, rect.center());
  }

  static std::string SelectedId(TfrmNews& window) {
    const auto selected = window.lvwItems->selectedItems();
    return selected.isEmpty() ? std::string("-")
                              : selected.front()->text(TfrmNews::kIdColumn).toStdString();
  }

  static QString ShownText(TfrmNews& window) { return window.prfEditorNews->toPlainText(); }

  std::size_t DetailRequests() const { return sim_.Requests(SimService::kNewsDetails).size(); }

  Simulator sim_;
  FakeFetchHost host_;
  HttpClient client_{host_};
  RecordingMessages messages_;
  BrandSettings brand_;
  QWidget mainWindow_;
  QPushButton btnNews_{QStringLiteral("Check News"), &mainWindow_};
  Strings markerWrites_;
  Strings newsItems_{"stale^record^x"};
  bool windowOpened_ = false;
  PublisherServices services_{{client_,
                               messages_,
                               brand_,
                               "http://127.0.0.1:1/liveupdate/quorvane/",
                               &mainWindow_,
                               &btnNews_,
                               [] { return std::string(); },
                               [this](const std::string& id) { markerWrites_.push_back(id); },
                               {},
                               {}}};
};

TEST_F(NewsWindowTest, WindowLayout) {
  RunNewsCommand([](TfrmNews& w) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("News"));
    EXPECT_TRUE(w.isModal());
    EXPECT_EQ(w.size(), QSize(682, 411));
    EXPECT_EQ(w.lvwItems->objectName(), QStringLiteral("lvwItems"));
    EXPECT_EQ(w.prfEditorNews->objectName(), QStringLiteral("prfEditorNews"));
    EXPECT_EQ(w.btnExit->objectName(), QStringLiteral("btnExit"));
    EXPECT_EQ(w.btnExit->text(), QStringLiteral("Close"));
    EXPECT_EQ(w.btnExit->geometry(), QRect(304, 7, 97, 20));
    EXPECT_EQ(w.btnExit->parentWidget()->height(), 41);
    EXPECT_EQ(w.lvwItems->parentWidget()->height(), 105);
    auto* splitter = w.findChild<QSplitter*>();
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(splitter->handleWidth(), 10);
    EXPECT_EQ(w.lvwItems->parentWidget()->minimumHeight(), 10);
    EXPECT_EQ(w.lvwItems->headerItem()->text(0), QStringLiteral("News Title"));
    EXPECT_EQ(w.lvwItems->headerItem()->text(1), QStringLiteral("Published"));
    EXPECT_EQ(w.lvwItems->header()->sectionSize(1), 160);
    EXPECT_TRUE(w.lvwItems->isColumnHidden(TfrmNews::kIdColumn));
    EXPECT_EQ(w.lvwItems->header()->sectionSize(0) + 160, w.lvwItems->viewport()->width());
    EXPECT_EQ(w.lvwItems->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(w.lvwItems->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(w.lvwItems->font().pixelSize(), 14);
    EXPECT_EQ(w.lvwItems->font().family(), QStringLiteral("Arial"));
    const QPalette p = w.lvwItems->palette();
    EXPECT_EQ(p.color(QPalette::Inactive, QPalette::Highlight),
              p.color(QPalette::Active, QPalette::Highlight));
    EXPECT_TRUE(w.prfEditorNews->isReadOnly());
  });
  EXPECT_TRUE(windowOpened_);
}

TEST_F(NewsWindowTest, ListsRecordsAndShowsEachSelectedBodyAndStoresItsId) {
  RunNewsCommand([&](TfrmNews& w) {
    ASSERT_EQ(w.lvwItems->topLevelItemCount(), 2);
    EXPECT_EQ(w.lvwItems->topLevelItem(1)->text(0), QStringLiteral("Cost $5E"));
    EXPECT_EQ(w.lvwItems->topLevelItem(1)->text(1), QStringLiteral("2024-02-02"));
    EXPECT_EQ(w.lvwItems->topLevelItem(1)->text(TfrmNews::kIdColumn), QStringLiteral("9"));
    EXPECT_EQ(SelectedId(w), "-");
    EXPECT_TRUE(ShownText(w).isEmpty());
    EXPECT_EQ(DetailRequests(), 0u);

    SelectRow(w, 1);
    EXPECT_EQ(ShownText(w), QStringLiteral("Cost: 9 ^ more"));
    EXPECT_EQ(markerWrites_, Strings{"9"});
    SelectRow(w, 0);  // an older item after a newer one
    EXPECT_EQ(ShownText(w), QStringLiteral("five"));
    SelectRow(w, 1);  // nothing is cached
    EXPECT_EQ(ShownText(w), QStringLiteral("Cost: 9 ^ more"));
    EXPECT_EQ(markerWrites_, (Strings{"9", "5", "9"}));
    EXPECT_EQ(DetailRequests(), 3u);
    EXPECT_FALSE(w.FetchingDetails());
    EXPECT_EQ(w.lvwItems->viewport()->cursor().shape(), Qt::ArrowCursor);
  });
  EXPECT_TRUE(windowOpened_);
  EXPECT_EQ(newsItems_, (Strings{"5^Older news^2024-01-01", "9^Cost $5E^2024-02-02"}));
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(NewsWindowTest, FailedBodyKeepsThePageAndTheMarker) {
  RunNewsCommand([&](TfrmNews& w) {
    SelectRow(w, 0);
    sim_.ChangeScenario([](Scenario& s) { s.news.detailsReply = "INVALIDNEWS"; });
    SelectRow(w, 1);
    EXPECT_EQ(ShownText(w), QStringLiteral("five"));
    EXPECT_EQ(markerWrites_, Strings{"5"});
    EXPECT_EQ(
        messages_.boxes,
        (std::vector<Box>{{'W', "There is a trouble with this news. Contact your provider."}}));
    EXPECT_FALSE(w.FetchingDetails());

    // A malformed escape is still a success: an empty page, and the id stored.
    sim_.ChangeScenario([](Scenario& s) { s.news.detailsReply = "<p>$5</p>\xAFOK"; });
    SelectRow(w, 0);
    EXPECT_TRUE(ShownText(w).isEmpty());
    EXPECT_EQ(markerWrites_, (Strings{"5", "5"}));
  });
}

TEST_F(NewsWindowTest, SelectionHoldsStillWhileABodyLoads) {
  sim_.ChangeScenario([](Scenario& s) { s.news.pace.delayMs = 600; });
  bool checked = false;
  RunNewsCommand([&](TfrmNews& w) {
    QTimer::singleShot(200, [&] {
      // Runs inside the request's message pump.
      EXPECT_TRUE(w.FetchingDetails());
      EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor);
      EXPECT_EQ(w.lvwItems->viewport()->cursor().shape(), Qt::WaitCursor);
      EXPECT_EQ(w.prfEditorNews->viewport()->cursor().shape(), Qt::WaitCursor);
      SelectRow(w, 1);
      QTest::keyClick(w.lvwItems, Qt::Key_Down);
      QTest::keyClick(w.lvwItems, Qt::Key_End);
      w.lvwItems->clearSelection();
      EXPECT_EQ(SelectedId(w), "5");
      // The keys move on from the current row: it holds still with the selection.
      EXPECT_EQ(w.lvwItems->currentItem(), w.lvwItems->topLevelItem(0));
      checked = true;
    });
    SelectRow(w, 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(SelectedId(w), "5");
    EXPECT_EQ(w.lvwItems->currentItem(), w.lvwItems->topLevelItem(0));
    EXPECT_EQ(ShownText(w), QStringLiteral("five"));
    EXPECT_EQ(markerWrites_, Strings{"5"});
    EXPECT_EQ(DetailRequests(), 1u);
    EXPECT_FALSE(w.FetchingDetails());
    EXPECT_NE(w.cursor().shape(), Qt::WaitCursor);

    // Once the body is in, the next key moves on from where the selection is.
    sim_.ChangeScenario([](Scenario& s) { s.news.pace.delayMs = 0; });
    QTest::keyClick(w.lvwItems, Qt::Key_Down);
    EXPECT_EQ(SelectedId(w), "9");
    EXPECT_EQ(markerWrites_, (Strings{"5", "9"}));
  });
  EXPECT_TRUE(checked);
}

TEST_F(NewsWindowTest, TheIdTravelsByteForByte) {
  // A lone 0xE9 and 0xFF: no text codec of this system keeps them both.
  const std::string id = "4\xe9\xff";
  sim_.ChangeScenario([&](Scenario& s) {
    s.news.listReply = id + "^Caf\xe9 news^2024-03-03\xAFOK";
    s.news.detailsReply = "<p>body</p>\xAFOK";
  });
  RunNewsCommand([&](TfrmNews& w) {
    ASSERT_EQ(w.lvwItems->topLevelItemCount(), 1);
    SelectRow(w, 0);
    EXPECT_EQ(ShownText(w), QStringLiteral("body"));
  });
  EXPECT_TRUE(windowOpened_);
  const auto requests = sim_.Requests(SimService::kNewsDetails);
  ASSERT_EQ(requests.size(), 1u);
  ASSERT_NE(requests[0].Field("newsid"), nullptr);
  EXPECT_EQ(requests[0].Field("newsid")->value, id);
  EXPECT_EQ(markerWrites_, Strings{id});
}

TEST_F(NewsWindowTest, NoWindowWithoutNews) {
  struct Case {
    const char* type;
    std::optional<std::string> listReply;
    std::vector<Box> boxes;
    std::size_t requests;
  };
  const Case cases[] = {
      {"Gold", "OK", {{'I', kNoNews}}, 1},
      {"Gold",
       "INVALIDUSER\r\n",
       {{'W', "There is a trouble with the Publisher Id. Contact your provider."}, {'I', kNoNews}},
       1},
      {"Gold", "invaliduser", {{'I', kNoNews}}, 1},
      {"Free", std::nullopt, {{'I', kNoNews}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type + std::string(" ") + c.listReply.value_or("-"));
    brand_.BranderType = c.type;
    sim_.ChangeScenario([&](Scenario& s) { s.news.listReply = c.listReply; });
    sim_.ClearRequests();
    messages_.boxes.clear();
    newsItems_ = {"stale"};
    services_.NewsCommand(newsItems_);
    EXPECT_EQ(messages_.boxes, c.boxes);
    EXPECT_TRUE(newsItems_.empty());
    EXPECT_EQ(sim_.RequestCount(), c.requests);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
}

}  // namespace
