#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/LauncherProgress.h"
#include "app/ui/ResultsExporter.h"
#include "base/ResultsTable.h"
#include "base/SearchType.h"
#include "base/ui/MessageBox.h"
#include "keywords/ui/KeywordCommands.h"
#include "settings/BrandSettings.h"
#include "settings/LoadedBrand.h"
#include "web/FetchHost.h"
#include "web/HttpClient.h"
#include "web/ServiceEndpoints.h"

class QAbstractButton;
class QAction;
class QPushButton;
class QShortcut;
class QStackedWidget;
class QTableView;
class QToolButton;
class QUrl;

namespace quorvane {

class BannerLabel;
class ColumnFitter;
class FilterBar;
class JournalKeeper;
class KeywordCommands;
class LinkLabel;
class MainStatusBar;
class PublisherServices;
class ResultsModel;
class ResultsTransfer;
class SortArrow;
class TableHistory;
class WelcomePage;

// The main window: the welcome page and the main page with the tool bar,
// banner, results table, link bar and status bar. It owns the state of a
// session (brand values, news items, sort state, abort flag, main keyword,
// the one HTTP client, Timer1 and msgMain); the results model holds the
// table's rows, and the keyword and publisher command objects run the
// commands that go over the network.
//
// Every command is a public handler named after its control and event;
// tests and other windows call the handlers directly. Clicks reach them
// through CrashHandler::Guard, so an escaping error is reported and the
// window runs on.
class TfrmMain final : public QMainWindow, public FetchHost, public KeywordCommands::Window {
  Q_OBJECT

 public:
  // The window's HTTP client connects as `clientOptions` say.
  explicit TfrmMain(ServiceEndpoints endpoints = ServiceEndpoints::Compiled(),
                    HttpClient::Options clientOptions = {}, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // --- The results table, for the other subsystems.
  ResultsTable& Results();
  // The store rows shown in the table, in table order (every row unless a
  // filter hides some).
  std::vector<int> ShownRows() const override;
  // The ticked shown rows or, when none is ticked, the highlighted rows.
  std::vector<int> ChosenRows() const override;
  // The run progress panel and the launcher entry follow a run. Gather
  // Data shows "Row 370 of 1,000 · about 2 min left" and its share done on
  // the launcher; Gather Keywords, of unknown length, shows
  // "Gathering keywords" and nothing on the launcher.
  void RunBegins(int rows) override;
  void RunRowsDone(int done) override;
  void RunEnds() override;
  void GatherKeywordsRunningChanged() override { UpdateCommandStates(); }
  const ResultsTable& Results() const;
  // Writes the row count followed by " items listed" into SecondStatusPanel.
  void ShowItemCount() override;
  // While off, a click on a column header does nothing.
  void SetHeaderSortEnabled(bool enabled) override;

  // --- What the HTTP client needs from its window.
  bool AbortRequested() const override { return abortRequested_; }
  void ShowMainStatus(const std::string& text) override;
  void WorkBegin(std::int64_t expected) override;
  void Work(std::int64_t transferred) override;
  void WorkEnd() override;
  void ProcessMessages() override;
  // The client waits inside the window's event loop: input and screen
  // readers are served while a request waits, not at its next pump.
  std::unique_ptr<SocketWait> NewSocketWait() override;
  // A request disables the commands (SetCommandsBusy), except the
  // requests of the start-up check: they disable nothing, and a network
  // command clicked meanwhile makes the check give way and runs right
  // after it.
  void RequestRunning(bool running) override;

  // Disables every command that would change the table's rows or use the
  // HTTP client (Main Keyword, Gather Keywords, Add Keywords, Delete
  // Selected, Delete All, Check News, Check Updates, header sorting), and
  // "Gather Data" unless a Gather Data run goes on (it then reads "Stop").
  // Select All, Clear Selection, the check boxes, Save Results and closing
  // the window stay available. Calls nest: the commands come back when
  // every SetCommandsBusy(true) has been matched by a
  // SetCommandsBusy(false).
  void SetCommandsBusy(bool busy) override;
  bool CommandsBusy() const { return busyDepth_ > 0; }

  // --- State of the session.
  const BrandSettings& Brand() const { return brandSettings_; }
  const std::string& MainKeyword() const { return mainKeyword_; }
  SearchType CurrentSearchType() const;
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return sortAscending_; }
  std::vector<std::string>& NewsItems() { return newsItems_; }
  Messages& msgMain() { return msgMain_; }
  HttpClient& IdHTTP1() { return *idHTTP1_; }
  QTimer& Timer1() { return timer1_; }

  // --- Commands.
  void btnMainKeywordClick();
  void btnGatherKeywordClick();
  void btnAddKeywordClick();
  void btnGatherDataClick();
  // Gather Data over the ticked rows, and over the rows missing a count.
  void actGatherTickedClick();
  void actGatherMissingClick();
  void btnSaveResultsClick();
  void btnMakeMoneyClick();
  void btnAboutClick();
  void btnNewsClick();
  void btnUpdateClick();
  void btnHelpClick();
  void imgBannerClick();
  void gifBannerClick();
  void lblLink1URLClick();
  void lblLink2URLClick();
  void btnSelectAllClick();
  void btnClearSelectionClick();
  // Deletes the ticked rows or, when none is ticked, the highlighted rows;
  // asks first, and says so when there is neither.
  void btnDeleteSelectedClick();
  void btnDeleteAllClick();
  // Takes the last change to the table's rows back, or makes it again
  // (the table's context menu, Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y). Nothing
  // while a request runs.
  void actUndoClick();
  void actRedoClick();
  void lvwItemsColumnClick(int column);
  void btnThanksClick();
  void Timer1Timer();

  // Keeps the brand values and shows them: caption, Check News button,
  // Make Money caption, banner, link bar, skin and application icon.
  void ApplyBrand(const LoadedBrand& brand);

  // Points the message balloon at the News button with this text.
  void ShowNewsNotice(const std::string& text);
  // The news and update commands behind btnNews, btnUpdate and Timer1.
  PublisherServices& Publisher() { return *publisher_; }

  // Appends one row per line of a keyword list file, numbered on from the
  // rows already there, and shows "Total: " and the row count. A path that
  // names no regular file does nothing; a file that cannot be read throws
  // and adds nothing.
  void ImportKeywordFile(const std::string& path);
  // Writes the table to a CSV file the user names: every row, or the rows
  // shown while a filter is active.
  void SaveResultsCsv();

  // The table's undo history, and whether it holds rows not yet saved.
  TableHistory& History() { return *history_; }
  bool UnsavedRows() const;
  // Asks what to do with rows not yet saved before the window closes
  // ("Save the 1,234 rows before closing?": Save, Don't Save, Cancel).
  // True when the window may close: nothing to save, saved, or not wanted;
  // the close that follows then asks nothing more.
  bool ReadyToClose();
  // Offers the rows of an earlier session that ended without closing
  // (a crash, a kill): each journal whose program is gone, newest first,
  // until one is restored. Runs once, soon after the window is first
  // shown; later calls do nothing.
  void OfferRecovery();
  // The crash-recovery journal of this session's table.
  JournalKeeper& Journal() { return *journal_; }
  // Open Results, Copy, Paste, drops and Remove Duplicates.
  ResultsTransfer& Transfer() { return *transfer_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Construction of the design-time window.
  void BuildWindow();
  QWidget* BuildMainPage();
  QWidget* BuildToolBar();
  QWidget* BuildBanner();
  // The filter bar, the results table and the buttons under it.
  QWidget* BuildResultsArea();
  void BuildResultsTable();
  // The table's context menu: Filter, the targeted runs and sorting by
  // each column (AddDataCommands puts the data commands in front).
  void BuildTableMenu();
  // The table's context menu at its current cell (Shift+F10).
  void OpenTableMenu();
  QWidget* BuildTableButtons();
  QWidget* BuildLinkBar();
  QWidget* BuildStatusBar();
  void ConnectCommands();
  // The table's data commands (Open Results, Copy, Paste, drops, Remove
  // Duplicates) and the shortcuts of the buttons' commands.
  void AddDataCommands();
  // The undo history with Undo and Redo on top of the table's menu, and
  // the journal that follows the table.
  void AddHistory();
  void UpdateUndoActions();
  // Writes every row (whatever a filter shows), as the close's Save does;
  // true when written.
  bool SaveAllRows();
  // The handler wrapped so that an error escaping it is reported.
  std::function<void()> Guarded(void (TfrmMain::*handler)());
  // True while the start-up check runs: the check gives way, and the
  // handler runs again (guarded) as soon as the check has returned.
  bool DeferredBehindBackgroundCheck(void (TfrmMain::*handler)());

  // Window events.
  void FormCreate();
  void FormShow();
  void FormResize();
  void FormClose();

  // Fills brandSettings_ from the brand settings file and applies the
  // values to the window (caption, News button, Make Money caption,
  // banner, link bar, icon). Runs once, during FormCreate.
  void LoadBrandSettings();

  void CenterBanners();
  void UpdateCommandStates();
  void SetMainKeyword(const std::string& keyword);
  void OpenLinkAddress(const std::string& address);
  // Every address the program opens goes to the browser here; without a
  // browser the user is shown the address to take elsewhere.
  void OpenAddress(const std::string& address);
  // A link clicked in the welcome page or a news item: web addresses only.
  void OpenPageLink(const QUrl& link);

  // The window's size, place and state and the columns the user sized, as
  // the last run left them (DesktopSettings).
  void RestorePlacement();
  void RememberPlacement();

  const ServiceEndpoints endpoints_;
  MessageBox msgMain_;
  ResultsExporter exporter_;
  std::unique_ptr<HttpClient> idHTTP1_;
  QTimer timer1_;

  BrandSettings brandSettings_;
  std::vector<std::string> newsItems_;
  int sortColumn_ = -1;
  bool sortAscending_ = true;
  bool abortRequested_ = false;
  std::string mainKeyword_;

  bool headerSortEnabled_ = true;
  int busyDepth_ = 0;
  QElapsedTimer lastPump_;  // when ProcessMessages last served the window
  bool firstShowDone_ = false;

  ResultsModel* model_ = nullptr;
  ColumnFitter* columns_ = nullptr;
  SortArrow* sortArrow_ = nullptr;
  ResultsTransfer* transfer_ = nullptr;
  std::unique_ptr<TableHistory> history_;
  std::unique_ptr<JournalKeeper> journal_;
  bool closeApproved_ = false;      // ReadyToClose said yes: the close asks nothing more
  bool closeQuestionOpen_ = false;  // a second close meanwhile waits for the answer
  bool recoveryOffered_ = false;
  bool offeringRecovery_ = false;  // Timer1 waits until the offer is answered
  // The launcher entry shows the share done of a run over this many rows.
  int runRows_ = 0;
  LauncherProgress launcher_;

  // The window's controls: each member is named as its control (the
  // control's object name), without the underscore of other members.
  QStackedWidget* pgcPrinc = nullptr;
  WelcomePage* stsWelcome = nullptr;  // destroyed at first display without a welcome page
  QWidget* stsMain = nullptr;

  QPushButton* btnMainKeyword = nullptr;
  QPushButton* btnGatherKeyword = nullptr;
  QPushButton* btnAddKeyword = nullptr;
  QPushButton* btnGatherData = nullptr;
  QPushButton* btnSaveResults = nullptr;
  QPushButton* btnMakeMoney = nullptr;
  QPushButton* btnAbout = nullptr;
  QToolButton* btnNews = nullptr;
  QToolButton* btnUpdate = nullptr;
  QToolButton* btnHelp = nullptr;

  QWidget* panBanner = nullptr;
  BannerLabel* imgBanner = nullptr;
  BannerLabel* gifBanner = nullptr;

  QTableView* lvwItems = nullptr;
  FilterBar* panFilter = nullptr;
  QAction* actGatherTicked = nullptr;
  QAction* actGatherMissing = nullptr;
  QAction* actUndo = nullptr;
  QAction* actRedo = nullptr;
  QPushButton* btnSelectAll = nullptr;
  QPushButton* btnClearSelection = nullptr;
  QPushButton* btnDeleteSelected = nullptr;
  QPushButton* btnDeleteAll = nullptr;

  QWidget* panLinks = nullptr;
  LinkLabel* lblLink1URL = nullptr;
  LinkLabel* lblLink2URL = nullptr;

  MainStatusBar* stbMain = nullptr;
  // Esc works only while a Gather Data or Gather Keywords run goes on.
  QShortcut* keyStop = nullptr;

  // Last, so that they go before the client and msgMain they use.
  std::unique_ptr<KeywordCommands> keywords_;
  std::unique_ptr<PublisherServices> publisher_;
};

}  // namespace quorvane
