// The main window under the offscreen platform: start-up state, layout
// rules, the results table and its commands, the HTTP client's host
// operations and the link labels.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <string>
#include <vector>

#include "app/ui/BannerLabel.h"
#include "app/ui/FMain.h"
#include "app/ui/LinkLabel.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/DuringGatherData.h"
#include "support/FakeBrowser.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"
#include "support/RawHttpServer.h"

using namespace quorvane;

namespace {

using Kind = MessageBox::Kind;
using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

// The window as the program starts it, Timer1 running.
class MainWindowTest : public MainWindowFixture {
 protected:
  MainWindowTest() { OpenWindow(WindowOptions().At(StalledEngineEndpoints()).WithStartUpTick()); }

  void AddRows(const std::vector<Cells>& rows) {
    // As they are, numbers included.
    for (const auto& r : rows)
      window_->Results().AppendRows({ResultRow{{r[0], r[1], r[2], "", "", ""}, false}});
  }

  void ClickHeader(int column) {
    QHeaderView* header = Find<QTableView>("lvwItems")->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
  }
};

// --- Start-up

TEST_F(MainWindowTest, StartsWithoutSettingsOnTheMainPageInItsDesignTimeState) {
  EXPECT_TRUE(window_->Timer1().isActive()) << "no welcome page: the timer starts at creation";
  EXPECT_EQ(window_->Timer1().interval(), 100);
  window_->show();

  auto* pages = Find<QStackedWidget>("pgcPrinc");
  EXPECT_EQ(pages->count(), 1);
  EXPECT_EQ(pages->currentWidget()->objectName(), "stsMain");
  EXPECT_EQ(window_->findChild<QWidget*>("stsWelcome"), nullptr) << "welcome page destroyed";

  EXPECT_EQ(window_->windowTitle(), "Quorvane");
  EXPECT_EQ(window_->size(), QSize(914, 597));
  EXPECT_TRUE(Find<QToolButton>("btnNews")->isVisible());
  EXPECT_EQ(Find<QPushButton>("btnMakeMoney")->text(), "Make Money");
  EXPECT_EQ(Find<QWidget>("panBanner")->height(), 65);
  for (const char* name : {"lblLink1URL", "lblLink2URL"}) {
    auto* link = Find<LinkLabel>(name);
    EXPECT_EQ(link->text(), "Google");
    EXPECT_EQ(link->Address(), "http://www.google.com/");
    EXPECT_TRUE(link->isVisible());
  }
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(MainKeywordText(), "Main Keyword: ");
  EXPECT_EQ(ItemCount(), "0 item listed");
  auto* gauge = Find<QProgressBar>("MainGauge");
  EXPECT_EQ(gauge->minimum(), 0);
  EXPECT_EQ(gauge->maximum(), 100);
  EXPECT_EQ(gauge->value(), 0);
  EXPECT_EQ(gauge->text(), "0%");

  EXPECT_EQ(window_->SortColumn(), -1);
  EXPECT_TRUE(window_->SortAscending());
  EXPECT_FALSE(window_->AbortRequested());
  EXPECT_EQ(window_->MainKeyword(), "");
  EXPECT_TRUE(window_->NewsItems().empty());
}

TEST_F(MainWindowTest, TimerTicksOnceAfterStartUp) {
  // Each tick ends in the silent update check, one request to the update
  // server: the requests count the ticks.
  RawHttpServer updates(
      [](const RawHttpServer::Request&) { return RawHttpServer::Respond(404, "no descriptor"); });
  ServiceEndpoints endpoints = LoopbackEndpoints();
  endpoints.liveUpdateBase = updates.Url("/liveupdate/quorvane/");
  const auto owned = NewWindow(WindowOptions().At(endpoints).WithStartUpTick());
  TfrmMain& window = *owned;
  window.show();
  for (int i = 0; i < 500 && updates.RequestCount() == 0; ++i) QTest::qWait(10);
  ASSERT_EQ(updates.RequestCount(), 1u) << "update requests within 5 s of start-up";
  EXPECT_FALSE(window.Timer1().isActive());
  // Time for several more ticks, had the timer gone on.
  QTest::qWait(500);
  EXPECT_EQ(updates.RequestCount(), 1u);
  EXPECT_EQ(updates.Requests()[0].target, "/liveupdate/quorvane/mainappupdate.inf");
  EXPECT_TRUE(MessageBox::ShownBoxes().empty()) << "the start-up check is silent";
}

// The caption of a push button fits the area the style draws it in.
bool CaptionFits(const QPushButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  if (button.autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
  const QRect area =
      button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
  const QSize caption = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
  return caption.width() <= area.width() && caption.height() <= area.height();
}

TEST_F(MainWindowTest, ToolBarHasItsButtonsWithCaptionsSizesAndTips) {
  struct Expected {
    const char* name;
    const char* caption;
    int width;
  };
  const Expected buttons[] = {{"btnMainKeyword", "Main Keyword", 99},
                              {"btnGatherKeyword", "Gather Keywords", 101},
                              {"btnAddKeyword", "Add Keywords", 99},
                              {"btnGatherData", "Gather Data", 98},
                              {"btnSaveResults", "Save Results", 98},
                              {"btnMakeMoney", "Make Money", 104},
                              {"btnAbout", "About", 104}};
  // At a small font the buttons have their design sizes; at the desktop's
  // font (and any larger one) they grow where a caption needs it, in that
  // font: no caption is cut, none is shrunk.
  for (const int points : {7, 0, 14}) {
    SCOPED_TRACE(points == 0 ? std::string("the desktop's font") : std::to_string(points) + " pt");
    const QFont desktop = QApplication::font();
    if (points > 0) {
      QFont font = desktop;
      font.setPointSize(points);
      QApplication::setFont(font);
    }
    OpenWindow().show();
    int previousRight = 0;
    for (const Expected& e : buttons) {
      auto* button = Find<QPushButton>(e.name);
      EXPECT_EQ(button->text(), e.caption);
      EXPECT_EQ(button->font().pointSize(), points > 0 ? points : desktop.pointSize()) << e.name;
      if (points == 7) {
        EXPECT_EQ(button->size(), QSize(e.width, 20)) << e.name;
      }
      EXPECT_GE(button->width(), e.width) << e.name;
      EXPECT_GE(button->height(), 20) << e.name;
      EXPECT_TRUE(CaptionFits(*button))
          << e.name << " reads \"" << e.caption << "\" in " << button->size().width() << " pixels";
      EXPECT_EQ(button->y(), 7) << e.name;
      EXPECT_GT(button->x(), previousRight) << e.name << " stands right of the one before";
      previousRight = button->geometry().right();
    }
    const int barHeight = Find<QWidget>("panToolBar")->height();
    if (points == 14) {
      EXPECT_GE(barHeight, 7 + Find<QWidget>("btnMainKeyword")->height());
    } else {
      EXPECT_EQ(barHeight, 43);
    }
    for (const auto& [name, tip] :
         {std::pair{"btnNews", "Check News"}, std::pair{"btnUpdate", "Check Updates"},
          std::pair{"btnHelp", "Help"}}) {
      auto* button = Find<QToolButton>(name);
      EXPECT_EQ(button->toolTip(), tip);
      EXPECT_EQ(button->size(), QSize(41, 34)) << name;
      EXPECT_TRUE(button->text().isEmpty() || button->toolButtonStyle() == Qt::ToolButtonIconOnly);
      EXPECT_FALSE(button->icon().isNull()) << name;
      EXPECT_GT(button->x(), previousRight) << name;
      previousRight = button->geometry().right();
    }
    QApplication::setFont(desktop);
  }
}

TEST_F(MainWindowTest, ThePictureButtonsAreDrawnForTheScreensScale) {
  // Sharp at fractional and large scales: each picture is drawn at the
  // device pixels asked for, not scaled from a 1x or 2x copy.
  for (const char* name : {"btnNews", "btnUpdate", "btnHelp"}) {
    const QIcon icon = Find<QToolButton>(name)->icon();
    for (const qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
      const QPixmap picture = icon.pixmap(QSize(24, 24), ratio);
      EXPECT_EQ(picture.size(), (QSizeF(24, 24) * ratio).toSize()) << name << " at " << ratio;
      EXPECT_EQ(picture.devicePixelRatio(), ratio) << name;
      // Something is drawn, and the corners stay clear.
      const QImage image = picture.toImage();
      EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name;
      int inked = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 0;
      EXPECT_GT(inked, image.width() * image.height() / 10) << name;
    }
  }
}

TEST_F(MainWindowTest, PictureButtonsKeepTheirDistanceToTheRightEdge) {
  window_->show();
  const char* names[] = {"btnNews", "btnUpdate", "btnHelp"};
  std::vector<int> distances;
  for (const char* name : names) distances.push_back(window_->width() - Find<QWidget>(name)->x());
  window_->resize(1200, 700);
  QCoreApplication::processEvents();
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(window_->width() - Find<QWidget>(names[i])->x(), distances[i]) << names[i];
}

TEST_F(MainWindowTest, BannerHalvesAreTruncatedBeforeTheSubtraction) {
  window_->resize(912, 597);
  window_->show();
  auto* panel = Find<QWidget>("panBanner");
  ASSERT_EQ(panel->width(), 912);
  auto* banner = Find<BannerLabel>("imgBanner");
  QPixmap picture(105, 41);
  picture.fill(Qt::red);
  banner->ShowPicture(picture);
  ASSERT_EQ(banner->size(), QSize(105, 41)) << "the picture control takes its picture's size";
  window_->resize(913, 597);
  window_->resize(912, 597);
  QCoreApplication::processEvents();
  EXPECT_EQ(banner->pos(), QPoint(456 - 52, 32 - 20));  // not (912 - 105) / 2 = 403

  window_->resize(1000, 597);
  QCoreApplication::processEvents();
  EXPECT_EQ(banner->x(), 500 - 52) << "widening keeps the picture centred";
}

TEST_F(MainWindowTest, BothBannerControlsShareOnePlace) {
  window_->show();
  EXPECT_EQ(Find<BannerLabel>("gifBanner")->geometry(), Find<BannerLabel>("imgBanner")->geometry());
}

// --- Results table

TEST_F(MainWindowTest, TableHasItsColumnsAndWidths) {
  auto* table = Find<QTableView>("lvwItems");
  const std::vector<std::pair<QString, int>> columns = {{"No", 49},        {"Keywords", 132},
                                                        {"Searches", 132}, {"Google", 104},
                                                        {"Yahoo", 104},    {"Msn", 104}};
  ASSERT_EQ(table->model()->columnCount(), 6);
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(table->model()->headerData(c, Qt::Horizontal).toString(), columns[c].first);
    EXPECT_EQ(table->columnWidth(c), columns[c].second) << c;
  }
  EXPECT_TRUE(table->showGrid());
  EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_TRUE(table->horizontalHeader()->sectionsClickable());
}

// Status and keyword texts carry keywords off the network. Markup in them
// is shown as it stands; read as rich text, the picture below would make
// the label read a device without end.
TEST_F(MainWindowTest, StatusTextsAreNeverReadAsMarkup) {
  const std::string markup = "<b>golf</b><img src=\"/dev/zero\">";
  window_->show();
  WhenModalOpens([&](QWidget* dialog) {
    Child<QLineEdit>(dialog, "edtMainKeyword")->setText(QString::fromStdString(markup));
    Child<QPushButton>(dialog, "btnOk")->click();
  });
  Find<QPushButton>("btnMainKeyword")->click();
  window_->ShowMainStatus(markup);
  window_->grab();
  EXPECT_EQ(Status(), markup);
  EXPECT_EQ(MainKeywordText(), "Main Keyword: " + markup);
  for (const char* name :
       {"MainStatusPanel", "MainKeywordPanel", "SecondStatusPanel", "lblLink1URL", "lblLink2URL"}) {
    EXPECT_EQ(Find<QLabel>(name)->textFormat(), Qt::PlainText) << name;
  }
}

TEST_F(MainWindowTest, CountPanelTexts) {
  EXPECT_EQ(ItemCount(), "0 item listed");
  window_->Results().AppendKeywords({{"golf", ""}});
  window_->ShowItemCount();
  EXPECT_EQ(ItemCount(), "1 items listed");
  window_->Results().Clear();
  window_->ShowItemCount();
  EXPECT_EQ(ItemCount(), "0 items listed");
}

TEST_F(MainWindowTest, CountPanelKeepsLongCountsWhole) {
  window_->show();
  auto* panel = window_->findChild<QLabel*>("SecondStatusPanel");
  ASSERT_NE(panel, nullptr);
  const auto textFits = [panel] {
    QCoreApplication::processEvents();  // the status bar's layout follows the text
    return panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(panel->text());
  };
  EXPECT_GE(panel->width(), 82) << "its design width at start";
  EXPECT_TRUE(textFits()) << panel->text().toStdString();
  window_->Results().AppendKeywords(std::vector<NewKeyword>(123456, {"golf", ""}));
  window_->ShowItemCount();
  EXPECT_EQ(ItemCount(), "123456 items listed");
  EXPECT_TRUE(textFits()) << panel->text().toStdString();
  window_->Results().Clear();
  window_->ShowItemCount();
  EXPECT_TRUE(textFits());
  EXPECT_GE(panel->width(), 82);
}

TEST_F(MainWindowTest, CellsAreBytesConvertedOnlyForDisplay) {
  window_->Results().AppendKeywords({{"caf\xc3\xa9", "1,000"}});
  window_->Results().SetCell(0, kColGoogle, "2,340");
  EXPECT_EQ(window_->Results().Cell(0, kColKeywords), "caf\xc3\xa9");
  auto* model = Find<QTableView>("lvwItems")->model();
  EXPECT_EQ(model->index(0, kColKeywords).data().toString(), QString::fromLocal8Bit("caf\xc3\xa9"));
  EXPECT_EQ(model->index(0, kColGoogle).data().toString(), "2,340");
  EXPECT_EQ(model->index(0, kColYahoo).data().toString(), "");
  EXPECT_THROW(window_->Results().Cell(1, 0), std::out_of_range);
}

TEST_F(MainWindowTest, SelectAllAndClearSelectionTickEveryRowAndLeaveTheCountAlone) {
  AddRows({{"1", "a", ""}, {"2", "b", ""}});
  auto* model = Find<QTableView>("lvwItems")->model();
  Find<QPushButton>("btnSelectAll")->click();
  for (int row = 0; row < 2; ++row)
    EXPECT_EQ(model->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
  EXPECT_EQ(ItemCount(), "0 item listed");
  Find<QPushButton>("btnClearSelection")->click();
  for (int row = 0; row < 2; ++row)
    EXPECT_EQ(model->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
}

TEST_F(MainWindowTest, DeleteSelectedAsksAndDeletesOnlyTickedRowsOnOk) {
  AddRows({{"1", "a", ""}, {"2", "b", ""}, {"3", "c", ""}, {"4", "d", ""}});
  auto* model = Find<QTableView>("lvwItems")->model();
  for (const int row : {0, 2, 3})
    model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);

  MessageBox::SetNextAnswer(Answer::Cancel);
  Find<QPushButton>("btnDeleteSelected")->click();
  EXPECT_EQ(Column(kColNo), (Cells{"1", "2", "3", "4"}));
  EXPECT_EQ(ItemCount(), "4 items listed") << "refreshed whatever the answer";

  MessageBox::SetNextAnswer(Answer::Ok);
  Find<QPushButton>("btnDeleteSelected")->click();
  EXPECT_EQ(Column(kColNo), (Cells{"2"}));
  EXPECT_EQ(ItemCount(), "1 items listed");

  const auto& shown = MessageBox::ShownBoxes();
  ASSERT_EQ(shown.size(), 2u);
  for (const auto& box : shown) {
    EXPECT_EQ(box.kind, Kind::Confirm);
    EXPECT_EQ(box.text, "Are you sure do you want to delete the selected keywords?");
    EXPECT_EQ(box.title, "Quorvane");
  }
}

TEST_F(MainWindowTest, DeleteAllAsksAndEmptiesTheTableOnOk) {
  AddRows({{"1", "a", ""}, {"2", "b", ""}});
  MessageBox::SetNextAnswer(Answer::Cancel);
  Find<QPushButton>("btnDeleteAll")->click();
  EXPECT_EQ(window_->Results().RowCount(), 2);
  EXPECT_EQ(ItemCount(), "2 items listed");

  MessageBox::SetNextAnswer(Answer::Ok);
  Find<QPushButton>("btnDeleteAll")->click();
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_EQ(ItemCount(), "0 items listed");
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "Are you sure do you want to delete all?");
}

TEST_F(MainWindowTest, DeletingWithNothingChosenSaysSoAndRewritesTheCount) {
  MessageBox::SetNextAnswer(Answer::Ok);
  Find<QPushButton>("btnDeleteSelected")->click();
  EXPECT_EQ(ItemCount(), "0 items listed");
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Information);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "No rows are ticked or highlighted.");
}

TEST_F(MainWindowTest, ManyScatteredDeletionsKeepTheRightRows) {
  for (int i = 1; i <= 200; ++i) window_->Results().AppendKeywords({{"k", ""}});
  auto* model = Find<QTableView>("lvwItems")->model();
  for (int row = 0; row < 200; row += 2)
    model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnDeleteSelectedClick();
  ASSERT_EQ(window_->Results().RowCount(), 100);
  for (int row = 0; row < 100; ++row)
    EXPECT_EQ(window_->Results().Cell(row, kColNo), std::to_string(2 * row + 2));
}

// --- Sorting

TEST_F(MainWindowTest, HeaderClickSortsGoogleWithEmptyCellsAsZero) {
  window_->show();
  AddRows({{"1", "a", ""}, {"2", "b", ""}, {"3", "c", ""}});
  window_->Results().SetCell(0, kColGoogle, "1,200");
  window_->Results().SetCell(1, kColGoogle, "950");
  ClickHeader(kColGoogle);
  EXPECT_EQ(Column(kColGoogle), (Cells{"", "950", "1,200"}));
  EXPECT_EQ(Column(kColNo), (Cells{"3", "2", "1"})) << "numbers stay with their rows";
  EXPECT_EQ(window_->SortColumn(), kColGoogle);
  EXPECT_TRUE(window_->SortAscending());
}

TEST_F(MainWindowTest, SameColumnInvertsAndANewColumnKeepsTheDirection) {
  window_->show();
  AddRows({{"1", "alpha", "10"}, {"2", "Zulu", "300"}, {"3", "mike", "2,000"}});
  ClickHeader(kColKeywords);
  EXPECT_EQ(Column(kColKeywords), (Cells{"alpha", "mike", "Zulu"}));
  ClickHeader(kColKeywords);
  EXPECT_EQ(Column(kColKeywords), (Cells{"Zulu", "mike", "alpha"}));
  EXPECT_FALSE(window_->SortAscending());

  ClickHeader(kColSearches);
  EXPECT_EQ(Column(kColSearches), (Cells{"2,000", "300", "10"})) << "descending carries over";
  EXPECT_EQ(window_->SortColumn(), kColSearches);
  EXPECT_FALSE(window_->SortAscending());
}

TEST_F(MainWindowTest, KeywordsDifferingOnlyInCaseCompareEqualAndKeepTheirOrder) {
  AddRows({{"1", "golf Clubs", ""}, {"2", "Golf clubs", ""}, {"3", "apple", ""}});
  window_->lvwItemsColumnClick(kColKeywords);
  EXPECT_EQ(Column(kColNo), (Cells{"3", "1", "2"}));
  window_->lvwItemsColumnClick(kColKeywords);
  EXPECT_EQ(Column(kColNo), (Cells{"1", "2", "3"}));
}

TEST_F(MainWindowTest, NoColumnSortsNumerically) {
  AddRows({{"10", "k", ""}, {"9", "k", ""}, {"1", "k", ""}, {"100", "k", ""}});
  window_->lvwItemsColumnClick(kColNo);
  EXPECT_EQ(Column(kColNo), (Cells{"1", "9", "10", "100"}));
}

TEST_F(MainWindowTest, RowsAddedAfterASortGoToTheEnd) {
  AddRows({{"1", "b", ""}, {"2", "a", ""}});
  window_->lvwItemsColumnClick(kColKeywords);
  window_->Results().AppendKeywords({{"0", ""}});
  EXPECT_EQ(Column(kColKeywords), (Cells{"a", "b", "0"}));
}

TEST_F(MainWindowTest, HeaderClicksDoNothingWhileSortingIsOff) {
  window_->show();
  AddRows({{"1", "b", ""}, {"2", "a", ""}});
  window_->SetHeaderSortEnabled(false);
  ClickHeader(kColKeywords);
  window_->lvwItemsColumnClick(kColKeywords);
  EXPECT_EQ(Column(kColKeywords), (Cells{"b", "a"}));
  EXPECT_EQ(window_->SortColumn(), -1);

  window_->SetHeaderSortEnabled(true);
  ClickHeader(kColKeywords);
  EXPECT_EQ(Column(kColKeywords), (Cells{"a", "b"}));
}

TEST_F(MainWindowTest, TheTableSortsAndTicksFromTheKeyboard) {
  window_->show();
  AddRows({{"1", "alpha", ""}, {"2", "Zulu", ""}, {"3", "mike", ""}});
  auto* table = Find<QTableView>("lvwItems");
  // The context menu (Menu key, Shift+F10) sorts as a header click does.
  EXPECT_EQ(table->contextMenuPolicy(), Qt::ActionsContextMenu);
  QAction* sortKeywords = nullptr;
  int sortActions = 0;
  for (QAction* action : table->actions()) {
    if (action->text() == "Sort by Keywords") sortKeywords = action;
    if (action->text().startsWith("Sort by ")) ++sortActions;
  }
  ASSERT_NE(sortKeywords, nullptr);
  // One sort command per column, after the table's other commands.
  EXPECT_EQ(sortActions, 6) << "one per column";
  EXPECT_EQ(table->actions().back()->text(), "Sort by Msn");
  sortKeywords->trigger();
  EXPECT_EQ(Column(kColKeywords), (Cells{"alpha", "mike", "Zulu"}));
  sortKeywords->trigger();
  EXPECT_EQ(Column(kColKeywords), (Cells{"Zulu", "mike", "alpha"}));
  window_->SetHeaderSortEnabled(false);
  sortKeywords->trigger();
  EXPECT_EQ(Column(kColKeywords), (Cells{"Zulu", "mike", "alpha"})) << "off while sorting is off";
  window_->SetHeaderSortEnabled(true);

  // Space ticks the current row's check box.
  table->setFocus();
  table->setCurrentIndex(table->model()->index(1, kColNo));
  QTest::keyClick(table, Qt::Key_Space);
  const auto ticked = [&](int row) {
    return table->model()->index(row, kColNo).data(Qt::CheckStateRole).toInt() == Qt::Checked;
  };
  EXPECT_FALSE(ticked(0));
  EXPECT_TRUE(ticked(1));
  QTest::keyClick(table, Qt::Key_Space);
  EXPECT_FALSE(ticked(1));
}

TEST_F(MainWindowTest, ModelPassesTheModelTesterThroughEveryOperation) {
  static std::vector<QString> failures;
  failures.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext& context, const QString& message) {
        if (context.category != nullptr && QByteArray(context.category) == "qt.modeltest")
          failures.push_back(message);
      });
  {
    auto* model = Find<QTableView>("lvwItems")->model();
    window_->show();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Warning);
    for (int i = 1; i <= 60; ++i)
      window_->Results().AppendKeywords({{"k" + std::to_string(i % 7), ""}});
    window_->Results().SetCell(3, kColMsn, "5");
    window_->lvwItemsColumnClick(kColKeywords);
    window_->lvwItemsColumnClick(kColNo);
    window_->btnSelectAllClick();
    window_->btnClearSelectionClick();
    // A few runs (removed range by range), then many runs (one reset).
    for (const int row : {2, 3, 10, 59})
      model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    MessageBox::SetNextAnswer(Answer::Ok);
    window_->btnDeleteSelectedClick();
    for (int row = 0; row < window_->Results().RowCount(); row += 2)
      model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    MessageBox::SetNextAnswer(Answer::Ok);
    window_->btnDeleteSelectedClick();
    MessageBox::SetNextAnswer(Answer::Ok);
    window_->btnDeleteAllClick();
  }
  qInstallMessageHandler(previous);
  for (const QString& failure : failures) ADD_FAILURE() << failure.toStdString();
}

// --- Commands while a request runs

TEST_F(MainWindowTest, BusyDisablesWhatChangesRowsOrUsesTheClient) {
  window_->show();
  const char* disabled[] = {"btnMainKeyword", "btnGatherKeyword",  "btnAddKeyword",
                            "btnGatherData",  "btnDeleteSelected", "btnDeleteAll",
                            "btnNews",        "btnUpdate"};
  const char* enabled[] = {"btnSelectAll", "btnClearSelection", "btnSaveResults",
                           "btnAbout",     "btnMakeMoney",      "btnHelp"};
  window_->RequestRunning(true);
  EXPECT_TRUE(window_->CommandsBusy());
  for (const char* name : disabled) EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
  for (const char* name : enabled) EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name;
  EXPECT_FALSE(Find<QTableView>("lvwItems")->horizontalHeader()->sectionsClickable());

  AddRows({{"1", "b", ""}, {"2", "a", ""}});
  window_->lvwItemsColumnClick(kColKeywords);
  EXPECT_EQ(Column(kColKeywords), (Cells{"b", "a"})) << "no sort while busy";

  window_->RequestRunning(false);
  for (const char* name : disabled) EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name;
  EXPECT_TRUE(Find<QTableView>("lvwItems")->horizontalHeader()->sectionsClickable());
}

TEST_F(MainWindowTest, BusyCallsNestAndStopStaysAvailable) {
  auto* gatherData = Find<QPushButton>("btnGatherData");
  window_->Results().AppendKeywords({{"golf", ""}});
  DuringGatherData(*window_, [&] {  // a gathering run
    window_->RequestRunning(true);  // one of its requests
    EXPECT_TRUE(gatherData->isEnabled()) << "Stop must reach the run";
    window_->RequestRunning(false);
    EXPECT_TRUE(window_->CommandsBusy()) << "the run still goes on";
    EXPECT_FALSE(Find<QWidget>("btnDeleteAll")->isEnabled());
  });
  EXPECT_FALSE(window_->CommandsBusy());
  EXPECT_TRUE(Find<QWidget>("btnDeleteAll")->isEnabled());
}

TEST_F(MainWindowTest, GaugeAndStatusFollowTheClient) {
  auto* gauge = Find<QProgressBar>("MainGauge");
  window_->ShowMainStatus("Getting URL: http://127.0.0.1/...");
  EXPECT_EQ(Status(), "Getting URL: http://127.0.0.1/...");
  window_->WorkBegin(200);
  EXPECT_EQ(gauge->maximum(), 200);
  EXPECT_EQ(gauge->value(), 0);
  window_->Work(50);
  EXPECT_EQ(gauge->value(), 50);
  EXPECT_EQ(gauge->text(), "25%");
  window_->Work(500);
  EXPECT_EQ(gauge->value(), 200) << "more than announced stays at the maximum";
  window_->WorkEnd();
  EXPECT_EQ(gauge->value(), 200);
  window_->WorkBegin(0);
  EXPECT_EQ(gauge->maximum(), 0);
  window_->WorkBegin(std::int64_t{1} << 40);
  EXPECT_EQ(gauge->maximum(), INT_MAX);
}

TEST_F(MainWindowTest, AStatusTextLongerThanTheWindowDoesNotWidenIt) {
  window_->show();
  const QSize before = window_->size();
  window_->ShowMainStatus(std::string(2000, 'x'));
  QCoreApplication::processEvents();
  EXPECT_EQ(window_->size(), before);
}

TEST_F(MainWindowTest, ClosingSetsTheAbortFlag) {
  window_->show();
  EXPECT_FALSE(window_->AbortRequested());
  EXPECT_TRUE(window_->close());
  EXPECT_TRUE(window_->AbortRequested());
}

// --- Link labels

TEST_F(MainWindowTest, LinkLabelsHandTheirAddressToTheBrowser) {
  // A desktop of the test's own: nothing may reach a real browser.
  FakeBrowser* browser = FakeBrowser::OfThisProcess();
  if (browser == nullptr) GTEST_SKIP() << "needs a process of its own";
  window_->show();
  auto* link1 = Find<LinkLabel>("lblLink1URL");
  QTest::mouseClick(link1, Qt::LeftButton);
  EXPECT_EQ(browser->Opened(), "http://www.google.com/");

  auto* link2 = Find<LinkLabel>("lblLink2URL");
  link2->SetAddress({});
  QTest::mouseClick(link2, Qt::LeftButton);
  EXPECT_EQ(browser->Opened(std::chrono::milliseconds(300)), std::nullopt)
      << "an empty address opens nothing";

  // A brand address without a scheme is a web address.
  link2->SetAddress("www.example.com/a?b=c");
  QTest::mouseClick(link2, Qt::LeftButton);
  EXPECT_EQ(browser->Opened(), "http://www.example.com/a?b=c");
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(MainWindowTest, LinkLabelsLookLikeLinks) {
  auto* link = Find<LinkLabel>("lblLink1URL");
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->font().pixelSize(), 12);
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  const QColor normal = link->palette().color(QPalette::WindowText);
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QCoreApplication::sendEvent(link, &enter);
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(link, &leave);
  EXPECT_EQ(link->palette().color(QPalette::WindowText), normal);
}

}  // namespace
