#include "app/ui/FMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>

#include "app/GroupThousands.h"
#include "app/JournalSlot.h"
#include "app/OpenUrl.h"
#include "app/SessionJournal.h"
#include "app/ui/BannerLabel.h"
#include "app/ui/BrandLook.h"
#include "app/ui/ChosenRows.h"
#include "app/ui/ColumnFitter.h"
#include "app/ui/DesktopSettings.h"
#include "app/ui/FAbout.h"
#include "app/ui/FilterBar.h"
#include "app/ui/JournalKeeper.h"
#include "app/ui/LinkLabel.h"
#include "app/ui/MainStatusBar.h"
#include "app/ui/ResultsModel.h"
#include "app/ui/ResultsTransfer.h"
#include "app/ui/SortArrow.h"
#include "app/ui/TableHistory.h"
#include "app/ui/ToolIcons.h"
#include "app/ui/WelcomePage.h"
#include "base/ui/CrashHandler.h"
#include "base/ui/FitButton.h"
#include "base/ui/LocalText.h"
#include "base/ui/WindowPlacement.h"
#include "keywords/KeywordFile.h"
#include "keywords/ui/FAddKeywords.h"
#include "keywords/ui/FMainKeyword.h"
#include "publisher/ui/PublisherServices.h"
#include "settings/LoadBrand.h"
#include "web/ui/EventLoopWait.h"

namespace quorvane {

namespace {

constexpr int kClientWidth = 914;
constexpr int kClientHeight = 597;

// The Google web search home page, behind both link labels until the brand
// settings give them other addresses.
constexpr const char* kDesignLinkAddress = "http://www.google.com/";

constexpr const char* kNoBrowserText =
    "No web browser is set up on this computer. Open this address in a browser:";

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// "1 row", "1,234 rows".
std::string RowsText(int rows) {
  return rows == 1 ? std::string("1 row") : GroupThousands(rows) + " rows";
}

}  // namespace

TfrmMain::TfrmMain(ServiceEndpoints endpoints, HttpClient::Options clientOptions, QWidget* parent)
    : QMainWindow(parent),
      endpoints_(std::move(endpoints)),
      msgMain_(this),
      exporter_(msgMain_, this),
      idHTTP1_(
          std::make_unique<HttpClient>(static_cast<FetchHost&>(*this), std::move(clientOptions))) {
  CrashHandler::SetMessages(&msgMain_);
  timer1_.setObjectName(QStringLiteral("Timer1"));
  timer1_.setInterval(100);
  // The command objects take the model and the buttons BuildWindow makes;
  // FormCreate comes last, when every part that loading the brand may
  // reach (msgMain, the controls it changes) is in place.
  BuildWindow();
  keywords_ = std::make_unique<KeywordCommands>(
      KeywordCommands::Parts{*idHTTP1_, msgMain_, *model_, endpoints_, abortRequested_, *this, this,
                             btnGatherData, btnGatherKeyword});
  publisher_ = std::make_unique<PublisherServices>(PublisherServices::Parts{
      *idHTTP1_, msgMain_, brandSettings_, endpoints_.liveUpdateBase, this, btnNews, nullptr,
      nullptr, [this](const QUrl& link) { OpenPageLink(link); },
      [this] { return ReadyToClose(); }});
  ConnectCommands();
  AddDataCommands();
  AddHistory();
  RestorePlacement();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  if (CrashHandler::CurrentMessages() == &msgMain_) CrashHandler::SetMessages(nullptr);
}

// ---------------------------------------------------------------------------
// Construction

void TfrmMain::BuildWindow() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Quorvane"));

  pgcPrinc = Named(new QStackedWidget(this), "pgcPrinc");
  stsWelcome = new WelcomePage;
  stsMain = BuildMainPage();
  pgcPrinc->addWidget(stsWelcome);
  pgcPrinc->addWidget(stsMain);
  setCentralWidget(pgcPrinc);

  resize(kClientWidth, kClientHeight);
  CenterOnScreen(*this);
}

QWidget* TfrmMain::BuildMainPage() {
  auto* page = Named(new QWidget, "stsMain");
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(BuildToolBar());
  column->addWidget(BuildBanner());
  column->addWidget(BuildResultsArea(), 1);
  column->addWidget(BuildLinkBar());
  column->addWidget(BuildStatusBar());
  return page;
}

QWidget* TfrmMain::BuildToolBar() {
  auto* bar = Named(new QWidget, "panToolBar");
  // Its design height, or more when the user's font makes the buttons
  // taller.
  bar->setMinimumHeight(43);
  bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(8, 0, 8, 0);
  row->setSpacing(0);

  auto* texts = new QHBoxLayout;
  texts->setContentsMargins(0, 7, 0, 0);
  texts->setSpacing(6);
  // In the user's font: a button grows past its design size when its
  // caption needs it.
  const auto textButton = [&](const char* name, const char* caption, int width) {
    auto* button = Named(new FitButton(QLatin1String(caption), QSize(width, 20)), name);
    texts->addWidget(button, 0, Qt::AlignTop);
    return button;
  };
  btnMainKeyword = textButton("btnMainKeyword", "Main Keyword", 99);
  btnGatherKeyword = textButton("btnGatherKeyword", "Gather Keywords", 101);
  btnAddKeyword = textButton("btnAddKeyword", "Add Keywords", 99);
  btnGatherData = textButton("btnGatherData", KeywordCommands::kGatherDataCaption, 98);
  btnSaveResults = textButton("btnSaveResults", "Save Results", 98);
  btnMakeMoney = textButton("btnMakeMoney", "Make Money", 104);
  btnAbout = textButton("btnAbout", "About", 104);
  row->addLayout(texts);
  row->addStretch(1);

  // The picture buttons keep their distance to the right edge.
  auto* pictures = new QHBoxLayout;
  pictures->setSpacing(2);
  const auto pictureButton = [&](const char* name, const char* tip, const QIcon& icon) {
    auto* button = Named(new QToolButton, name);
    button->setFixedSize(41, 34);
    button->setIcon(icon);
    button->setIconSize(QSize(24, 24));
    button->setToolTip(QLatin1String(tip));
    // A picture says nothing to a screen reader: the tip is its name.
    button->setAccessibleName(QLatin1String(tip));
    button->setAutoRaise(true);
    pictures->addWidget(button, 0, Qt::AlignVCenter);
    return button;
  };
  btnNews = pictureButton("btnNews", "Check News", NewsIcon());
  btnUpdate = pictureButton("btnUpdate", "Check Updates", UpdateIcon());
  btnHelp = pictureButton("btnHelp", "Help", HelpIcon());
  row->addLayout(pictures);
  return bar;
}

QWidget* TfrmMain::BuildBanner() {
  panBanner = Named(new QWidget, "panBanner");
  panBanner->setFixedHeight(65);
  // Both banner controls stand at the same place, outside any layout; the
  // centring rule places them.
  imgBanner = Named(new BannerLabel(panBanner), "imgBanner");
  imgBanner->setGeometry(0, 0, 468, 60);
  gifBanner = Named(new BannerLabel(panBanner), "gifBanner");
  panBanner->installEventFilter(this);
  return panBanner;
}

QWidget* TfrmMain::BuildResultsArea() {
  auto* area = Named(new QWidget, "panResults");
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  BuildResultsTable();
  panFilter = new FilterBar(*model_, *lvwItems);
  BuildTableMenu();
  column->addWidget(panFilter);
  column->addWidget(lvwItems, 1);
  column->addWidget(BuildTableButtons());
  return area;
}

void TfrmMain::BuildResultsTable() {
  model_ = new ResultsModel(this);
  lvwItems = Named(new QTableView, "lvwItems");
  lvwItems->setModel(model_);
  lvwItems->setShowGrid(true);
  lvwItems->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvwItems->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lvwItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvwItems->setWordWrap(false);
  lvwItems->verticalHeader()->hide();
  lvwItems->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  lvwItems->verticalHeader()->setDefaultSectionSize(lvwItems->fontMetrics().height() + 6);
  // Tab and Shift+Tab go on to the next control; the arrow keys move
  // within the table.
  lvwItems->setTabKeyNavigation(false);
  QHeaderView* header = lvwItems->horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  columns_ = new ColumnFitter(*lvwItems, *model_);
  sortArrow_ = new SortArrow(*header, *model_);
  lvwItems->setAccessibleName(QStringLiteral("Results"));
}

void TfrmMain::BuildTableMenu() {
  // The header takes no keyboard focus: the table's context menu (Menu key
  // or Shift+F10) sorts by each column as a click on its header does.
  lvwItems->setContextMenuPolicy(Qt::ActionsContextMenu);
  lvwItems->addAction(panFilter->FilterAction());
  const auto command = [&](const char* name, const char* caption, void (TfrmMain::*handler)()) {
    auto* action = new QAction(QLatin1String(caption), lvwItems);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, Guarded(handler));
    lvwItems->addAction(action);
    return action;
  };
  actGatherTicked =
      command("actGatherTicked", "Gather Data for Ticked Rows", &TfrmMain::actGatherTickedClick);
  actGatherMissing =
      command("actGatherMissing", "Gather Missing Data", &TfrmMain::actGatherMissingClick);
  auto* commandsEnd = new QAction(lvwItems);
  commandsEnd->setObjectName(QStringLiteral("actCommandsSeparator"));
  commandsEnd->setSeparator(true);
  lvwItems->addAction(commandsEnd);
  // Shift+F10 opens the menu as the Menu key does.
  auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), lvwItems, nullptr, nullptr,
                                Qt::WidgetShortcut);
  menuKey->setObjectName(QStringLiteral("keyTableMenu"));
  connect(menuKey, &QShortcut::activated, this, [this] { OpenTableMenu(); });
  for (int c = 0; c < kColumnCount; ++c) {
    auto* sort = new QAction(QStringLiteral("Sort by ") +
                                 model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                             lvwItems);
    sort->setObjectName(QStringLiteral("actSortColumn%1").arg(c));
    connect(sort, &QAction::triggered, this,
            [this, c] { CrashHandler::Guard([&] { lvwItemsColumnClick(c); }); });
    lvwItems->addAction(sort);
  }
}

void TfrmMain::OpenTableMenu() {
  // From the keyboard the menu opens at the current cell, as a menu key
  // opens one in any list.
  QPoint at(0, 0);
  const QModelIndex current = lvwItems->currentIndex();
  if (current.isValid()) {
    const QRect cell = lvwItems->visualRect(current);
    if (lvwItems->viewport()->rect().intersects(cell)) at = cell.center();
  }
  at = lvwItems->viewport()->mapTo(lvwItems, at);
  QContextMenuEvent event(QContextMenuEvent::Keyboard, at, lvwItems->mapToGlobal(at));
  QCoreApplication::sendEvent(lvwItems, &event);
}

QWidget* TfrmMain::BuildTableButtons() {
  auto* strip = Named(new QWidget, "panTableButtons");
  strip->setMinimumHeight(35);
  strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(6, 0, 6, 0);
  row->setSpacing(6);
  const auto tableButton = [&](const char* name, const char* caption) {
    auto* button = Named(new FitButton(QLatin1String(caption), QSize(105, 24)), name);
    row->addWidget(button, 0, Qt::AlignVCenter);
    return button;
  };
  btnSelectAll = tableButton("btnSelectAll", "Select All");
  btnClearSelection = tableButton("btnClearSelection", "Clear Selection");
  btnDeleteSelected = tableButton("btnDeleteSelected", "Delete Selected");
  btnDeleteAll = tableButton("btnDeleteAll", "Delete All");
  row->addStretch(1);
  return strip;
}

QWidget* TfrmMain::BuildLinkBar() {
  panLinks = Named(new QWidget, "panLinks");
  panLinks->setMinimumHeight(33);
  panLinks->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* row = new QHBoxLayout(panLinks);
  row->setContentsMargins(8, 0, 8, 0);
  const auto link = [&](const char* name, Qt::Alignment alignment) {
    auto* label = Named(new LinkLabel, name);
    label->setText(QStringLiteral("Google"));
    label->SetAddress(kDesignLinkAddress);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
  };
  lblLink1URL = link("lblLink1URL", Qt::AlignLeft);
  lblLink2URL = link("lblLink2URL", Qt::AlignRight);
  row->addWidget(lblLink1URL, 0, Qt::AlignLeft | Qt::AlignVCenter);
  row->addStretch(1);
  row->addWidget(lblLink2URL, 0, Qt::AlignRight | Qt::AlignVCenter);
  return panLinks;
}

QWidget* TfrmMain::BuildStatusBar() {
  // It belongs to the main page, not to the window: the welcome page has
  // none.
  stbMain = new MainStatusBar;
  return stbMain;
}

std::function<void()> TfrmMain::Guarded(void (TfrmMain::*handler)()) {
  return [this, handler] {
    CrashHandler::Guard([&] {
      // What a stopped run left in the status bar stays until the next
      // command.
      if (handler != &TfrmMain::Timer1Timer) stbMain->ForgetEndedRun();
      (this->*handler)();
    });
  };
}

bool TfrmMain::DeferredBehindBackgroundCheck(void (TfrmMain::*handler)()) {
  return publisher_->DeferBehindBackgroundCheck(Guarded(handler));
}

void TfrmMain::ConnectCommands() {
  const auto onClick = [this](QAbstractButton* button, void (TfrmMain::*handler)()) {
    connect(button, &QAbstractButton::clicked, this, Guarded(handler));
  };
  onClick(btnMainKeyword, &TfrmMain::btnMainKeywordClick);
  onClick(btnGatherKeyword, &TfrmMain::btnGatherKeywordClick);
  onClick(btnAddKeyword, &TfrmMain::btnAddKeywordClick);
  onClick(btnGatherData, &TfrmMain::btnGatherDataClick);
  onClick(btnSaveResults, &TfrmMain::btnSaveResultsClick);
  onClick(btnMakeMoney, &TfrmMain::btnMakeMoneyClick);
  onClick(btnAbout, &TfrmMain::btnAboutClick);
  onClick(btnNews, &TfrmMain::btnNewsClick);
  onClick(btnUpdate, &TfrmMain::btnUpdateClick);
  onClick(btnHelp, &TfrmMain::btnHelpClick);
  onClick(btnSelectAll, &TfrmMain::btnSelectAllClick);
  onClick(btnClearSelection, &TfrmMain::btnClearSelectionClick);
  onClick(btnDeleteSelected, &TfrmMain::btnDeleteSelectedClick);
  onClick(btnDeleteAll, &TfrmMain::btnDeleteAllClick);
  onClick(stsWelcome->ThanksButton(), &TfrmMain::btnThanksClick);
  connect(imgBanner, &BannerLabel::clicked, this, Guarded(&TfrmMain::imgBannerClick));
  connect(gifBanner, &BannerLabel::clicked, this, Guarded(&TfrmMain::gifBannerClick));
  connect(lblLink1URL, &LinkLabel::clicked, this, Guarded(&TfrmMain::lblLink1URLClick));
  connect(lblLink2URL, &LinkLabel::clicked, this, Guarded(&TfrmMain::lblLink2URLClick));
  connect(&timer1_, &QTimer::timeout, this, Guarded(&TfrmMain::Timer1Timer));
  connect(lvwItems->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { CrashHandler::Guard([&] { lvwItemsColumnClick(column); }); });
  connect(stsWelcome, &WelcomePage::LinkClicked, this,
          [this](const QUrl& link) { CrashHandler::Guard([&] { OpenPageLink(link); }); });
}

void TfrmMain::AddDataCommands() {
  // Made after the model, it goes after it: the model hands it the drops
  // on the table for as long as the model lives.
  transfer_ =
      new ResultsTransfer(ResultsTransfer::Parts{*model_, msgMain_, lvwItems,
                                                 [this] { return CommandsBusy(); }, *stbMain},
                          this);
  // The data commands open the menu, above Filter and the targeted runs.
  transfer_->AddActions(lvwItems->actions().value(0));

  // A key does what a click on its button does, and nothing while the
  // button is disabled.
  const auto key = [this](const char* name, const QKeySequence& keys, QAbstractButton* button) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setObjectName(QLatin1String(name));
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled() && button->isVisible()) button->click();
    });
    return shortcut;
  };
  key("keySaveResults", QKeySequence::Save, btnSaveResults);
  key("keySelectAll", QKeySequence::SelectAll, btnSelectAll);
  key("keyDeleteSelected", QKeySequence::Delete, btnDeleteSelected);
  // Esc clicks the Stop of whichever run goes on.
  keyStop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  keyStop->setObjectName(QStringLiteral("keyStop"));
  connect(keyStop, &QShortcut::activated, this, [this] {
    QAbstractButton* stop = keywords_->GatherKeywordsRunning() ? btnGatherKeyword : btnGatherData;
    if (stop->isEnabled() && stop->isVisible()) stop->click();
  });
  keyStop->setEnabled(false);
}

void TfrmMain::AddHistory() {
  history_ = std::make_unique<TableHistory>(
      TableHistory::Parts{
          *model_,
          [this] {
            return TableHistory::ViewState{stbMain->ItemCountText(), sortColumn_, sortAscending_};
          },
          [this](const TableHistory::ViewState& state) {
            stbMain->ShowItemCountText(state.itemCount);
            sortColumn_ = state.sortColumn;
            sortAscending_ = state.sortAscending;
            sortArrow_->Restore(sortColumn_, sortAscending_);
          }},
      nullptr);
  journal_ = std::make_unique<JournalKeeper>(
      *model_, [this] { return UnsavedRows(); }, JournalFolder(), nullptr);
  connect(model_, &ResultsModel::TableChanged, journal_.get(), &JournalKeeper::Changed);
  connect(history_.get(), &TableHistory::SavedStateChanged, journal_.get(),
          &JournalKeeper::Changed);

  // On top of the table's menu, as in every editor.
  const auto command = [this](const char* name, const char* caption, void (TfrmMain::*handler)()) {
    auto* action = new QAction(QLatin1String(caption), lvwItems);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, Guarded(handler));
    return action;
  };
  actUndo = command("actUndo", "Undo", &TfrmMain::actUndoClick);
  actUndo->setShortcut(QKeySequence::Undo);
  actRedo = command("actRedo", "Redo", &TfrmMain::actRedoClick);
  actRedo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  auto* end = new QAction(lvwItems);
  end->setObjectName(QStringLiteral("actUndoSeparator"));
  end->setSeparator(true);
  QAction* first = lvwItems->actions().value(0);
  lvwItems->insertActions(first, {actUndo, actRedo, end});
  QUndoStack& stack = history_->Stack();
  connect(&stack, &QUndoStack::indexChanged, this, &TfrmMain::UpdateUndoActions);
  connect(&stack, &QUndoStack::cleanChanged, this, &TfrmMain::UpdateUndoActions);
  UpdateUndoActions();
}

void TfrmMain::UpdateUndoActions() {
  if (!history_) return;
  const QUndoStack& stack = history_->Stack();
  const bool idle = !CommandsBusy();
  actUndo->setText(stack.canUndo() ? QStringLiteral("Undo ") + stack.undoText()
                                   : QStringLiteral("Undo"));
  actUndo->setEnabled(idle && stack.canUndo());
  actRedo->setText(stack.canRedo() ? QStringLiteral("Redo ") + stack.redoText()
                                   : QStringLiteral("Redo"));
  actRedo->setEnabled(idle && stack.canRedo());
}

void TfrmMain::actUndoClick() {
  // A run writes cells by row index: the rows must stay where they are.
  if (CommandsBusy()) return;
  history_->Stack().undo();
}

void TfrmMain::actRedoClick() {
  if (CommandsBusy()) return;
  history_->Stack().redo();
}

bool TfrmMain::UnsavedRows() const {
  // Cells a run has written since the last save wait in the model's open
  // step until the run ends; they are unsaved already.
  return history_->Unsaved() || (model_->RowCount() > 0 && model_->StepHoldsChanges());
}

bool TfrmMain::ReadyToClose() {
  if (closeApproved_) return true;
  // A second close while the question is open waits for its answer.
  if (closeQuestionOpen_) return false;
  if (!UnsavedRows()) return closeApproved_ = true;
  closeQuestionOpen_ = true;
  const Messages::Choice choice =
      msgMain_.Ask("Save the " + RowsText(model_->RowCount()) + " before closing?", "Save",
                   "Don't Save", "Cancel");
  closeQuestionOpen_ = false;
  if (choice == Messages::Choice::Cancel) return false;
  if (choice == Messages::Choice::Go && !SaveAllRows()) return false;
  return closeApproved_ = true;
}

bool TfrmMain::SaveAllRows() {
  if (!exporter_.SaveResultsCsv(model_->Store())) return false;
  model_->MarkSaved();
  return true;
}

void TfrmMain::OfferRecovery() {
  if (std::exchange(recoveryOffered_, true)) return;
  offeringRecovery_ = true;
  const std::string product = brandSettings_.ApplicationName.empty()
                                  ? std::string("Quorvane")
                                  : brandSettings_.ApplicationName;
  for (JournalSlot& slot : JournalSlot::Orphans(JournalFolder())) {
    JournalContents journal = ReadJournalFile(slot.JournalPath());
    if (!journal.ok) {
      // Never lost without a word: the file stays, under a name no start
      // reads again, and the user learns where.
      const std::string name = slot.JournalPath().string();
      const auto aside = slot.SetAside();
      msgMain_.Warning("The rows of an earlier session could not be restored: its journal " +
                       journal.problem + ". The journal was kept as \"" +
                       (aside ? aside->string() : name) + "\".");
      continue;
    }
    if (journal.rows.empty()) {
      slot.Remove();
      continue;
    }
    const int rows = static_cast<int>(journal.rows.size());
    const Messages::Choice choice = msgMain_.Ask(product + " did not close properly. Restore the " +
                                                     RowsText(rows) + " of your last session?",
                                                 "Restore", "Discard", "");
    if (choice == Messages::Choice::Discard) {
      slot.Remove();
      continue;
    }
    if (choice == Messages::Choice::Go) {
      // Rows as they were: their numbers, their ticks.
      model_->BeginStep("Restore");
      model_->AppendRows(std::move(journal.rows));
      model_->EndStep();
      ShowItemCount();
      // Its journal becomes this session's: no moment without one.
      journal_->Adopt(std::move(slot));
    }
    // One session restored (or the window closed meanwhile): the others
    // wait for the next start.
    break;
  }
  offeringRecovery_ = false;
}

// ---------------------------------------------------------------------------
// Window events

void TfrmMain::FormCreate() {
  gifBanner->setGeometry(imgBanner->geometry());
  // An error while the brand settings load is reported; the steps after it
  // still take effect.
  CrashHandler::Guard([this] { LoadBrandSettings(); });
  if (brandSettings_.WelcomePage.empty()) timer1_.start();
}

void TfrmMain::LoadBrandSettings() {
  if (const auto brand = LoadBrand()) ApplyBrand(*brand);
}

void TfrmMain::ApplyBrand(const LoadedBrand& brand) {
  brandSettings_ = brand.values;

  setWindowTitle(FromLocal(brand.caption));
  btnNews->setVisible(brand.newsVisible);
  btnMakeMoney->setText(FromLocal(brand.makeMoneyCaption));

  if (brand.bannerHandPointer) {
    imgBanner->SetLeadsSomewhere();
    gifBanner->SetLeadsSomewhere();
  }
  if (!ShowBanner(brand, *panBanner, *imgBanner, *gifBanner)) panBanner->hide();

  panLinks->setVisible(brand.linksVisible);
  lblLink1URL->setText(FromLocal(brand.values.Link1Caption));
  lblLink1URL->SetAddress(brand.values.Link1URL);
  lblLink2URL->setText(FromLocal(brand.values.Link2Caption));
  lblLink2URL->SetAddress(brand.values.Link2URL);

  ApplySkin();
  ApplyIcon(brand.values.IconFile);
}

void TfrmMain::FormShow() {
  // Every page is shown once, so that each is laid out before the first
  // one the user sees.
  for (int page = 0; page < pgcPrinc->count(); ++page) {
    pgcPrinc->setCurrentIndex(page);
    QCoreApplication::processEvents();
  }
  if (!brandSettings_.WelcomePage.empty()) {
    // Current before it takes the focus: a hidden page cannot.
    pgcPrinc->setCurrentWidget(stsWelcome);
    stsWelcome->SetHtml(brandSettings_.WelcomePage);
    stsWelcome->setFocus();
  } else {
    // The main page becomes the first and only page.
    pgcPrinc->removeWidget(stsWelcome);
    delete stsWelcome;
    stsWelcome = nullptr;
    pgcPrinc->setCurrentWidget(stsMain);
  }
  CenterBanners();
}

void TfrmMain::FormResize() {
  CenterBanners();
}

void TfrmMain::FormClose() {
  try {
    idHTTP1_->Disconnect();
  } catch (...) {
    // Nothing to do about a connection that will not close; the close goes on.
  }
  abortRequested_ = true;
  launcher_.Clear();
  // A request waiting in a message pump sees the flag and ends through its
  // failure path.
  QCoreApplication::processEvents();
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (firstShowDone_) return;
  firstShowDone_ = true;
  CrashHandler::Guard([this] { FormShow(); });
  // Once the window stands, so that the offer has it behind.
  QTimer::singleShot(0, this, Guarded(&TfrmMain::OfferRecovery));
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  // Unsaved rows are asked about first; an error there keeps the window.
  bool close = false;
  CrashHandler::Guard([&] { close = ReadyToClose(); });
  if (!close) {
    event->ignore();
    return;
  }
  RememberPlacement();
  CrashHandler::Guard([this] { FormClose(); });
  // A clean end, whatever the answer: no journal is left to offer.
  journal_->End();
  event->accept();
}

void TfrmMain::RestorePlacement() {
  DesktopSettings settings;
  // restoreGeometry brings a window back onto a screen that still exists;
  // without a stored place the window opens centred at its design size.
  const QByteArray geometry = settings.MainWindowGeometry();
  if (!geometry.isEmpty()) {
    restoreGeometry(geometry);
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    // A screen lower than the design size (a small laptop at 150 %) would
    // get the window centred with its title bar above the top edge, out of
    // reach: it starts at the top of the free area instead, centred across,
    // where it can be moved and maximised.
    const QRect room = screen->availableGeometry();
    if (height() > room.height()) move(room.left() + (room.width() - width()) / 2, room.top());
  }
  columns_->SetUserWidths(settings.ResultColumnWidths());
}

void TfrmMain::RememberPlacement() {
  DesktopSettings settings;
  settings.SetMainWindowGeometry(saveGeometry());
  settings.SetResultColumnWidths(columns_->UserWidths());
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == panBanner && event->type() == QEvent::Resize) CenterBanners();
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::CenterBanners() {
  // Each half is truncated on its own, which is one pixel off halving the
  // difference when only one of the two sizes is odd (912 and 105: 404,
  // not 403).
  for (BannerLabel* banner : {imgBanner, gifBanner}) {
    banner->move(panBanner->width() / 2 - banner->width() / 2,
                 panBanner->height() / 2 - banner->height() / 2);
  }
}

void TfrmMain::btnThanksClick() {
  pgcPrinc->setCurrentWidget(stsMain);
  if (!brandSettings_.WelcomePage.empty()) timer1_.start();
}

void TfrmMain::Timer1Timer() {
  timer1_.stop();
  // Its boxes must not come over the offer of an earlier session's rows.
  if (offeringRecovery_) {
    timer1_.start();
    return;
  }
  publisher_->BackgroundCheck();
}

void TfrmMain::ShowNewsNotice(const std::string& text) {
  publisher_->ShowNewsNotice(text);
}

// ---------------------------------------------------------------------------
// Results table

ResultsTable& TfrmMain::Results() {
  return *model_;
}

const ResultsTable& TfrmMain::Results() const {
  return *model_;
}

std::vector<int> TfrmMain::ShownRows() const {
  return model_->ShownRows();
}

void TfrmMain::RunBegins(int rows) {
  // One step of the history for all the run changes; a stopped run's too.
  model_->BeginStep(rows > 0 ? "Gather Data" : "Gather Keywords");
  runRows_ = std::max(0, rows);
  stbMain->RunBegins(rows);
  if (runRows_ > 0) launcher_.Show(0.0);
}

void TfrmMain::RunRowsDone(int done) {
  stbMain->RunRowsDone(done);
  if (runRows_ > 0) launcher_.Show(static_cast<double>(done) / runRows_);
}

void TfrmMain::RunEnds() {
  stbMain->RunEnds();
  launcher_.Clear();
  model_->EndStep();
}

std::vector<int> TfrmMain::ChosenRows() const {
  return quorvane::ChosenRows(*lvwItems, *model_);
}

void TfrmMain::ShowItemCount() {
  stbMain->ShowItemCount(model_->RowCount());
}

void TfrmMain::SetHeaderSortEnabled(bool enabled) {
  headerSortEnabled_ = enabled;
  UpdateCommandStates();
}

void TfrmMain::btnSelectAllClick() {
  model_->SetAllChecked(true);
}

void TfrmMain::btnClearSelectionClick() {
  model_->SetAllChecked(false);
}

void TfrmMain::btnDeleteSelectedClick() {
  if (!TickedRows(*model_).empty()) {
    if (msgMain_.Confirm("Are you sure do you want to delete the selected keywords?"))
      model_->DeleteChecked();
  } else if (const std::vector<int> highlighted = HighlightedRows(*lvwItems, *model_);
             !highlighted.empty()) {
    const std::string question =
        highlighted.size() == 1
            ? std::string("Delete the highlighted row?")
            : "Delete the " + GroupThousands(static_cast<long long>(highlighted.size())) +
                  " highlighted rows?";
    if (msgMain_.Confirm(question)) model_->RemoveRows(highlighted);
  } else {
    msgMain_.Information(KeywordCommands::kNoRowsChosenText);
  }
  ShowItemCount();
}

void TfrmMain::btnDeleteAllClick() {
  if (msgMain_.Confirm("Are you sure do you want to delete all?")) model_->Clear();
  ShowItemCount();
}

void TfrmMain::lvwItemsColumnClick(int column) {
  if (!headerSortEnabled_ || CommandsBusy()) return;
  // A new column keeps the direction of the previous one. The state
  // changes after the sort, so that its undo step finds the one before.
  const bool ascending = column == sortColumn_ ? !sortAscending_ : sortAscending_;
  model_->Sort(column, ascending);
  sortColumn_ = column;
  sortAscending_ = ascending;
  sortArrow_->Show(column, sortAscending_);
}

// ---------------------------------------------------------------------------
// Keyword entry and export

void TfrmMain::btnMainKeywordClick() {
  TfrmMainKeyword dialog(msgMain_, this);
  if (dialog.exec() == QDialog::Accepted) SetMainKeyword(dialog.MainKeyword());
}

void TfrmMain::SetMainKeyword(const std::string& keyword) {
  mainKeyword_ = keyword;
  stbMain->ShowMainKeyword(mainKeyword_);
  ShowMainStatus({});
}

void TfrmMain::btnAddKeywordClick() {
  TfrmAddKeywords dialog(msgMain_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string typed = dialog.AddKeyword();
  if (!typed.empty()) {
    model_->AppendKeywords({NewKeyword{typed, {}}});
    ShowItemCount();
  } else {
    ImportKeywordFile(dialog.ListPath());
  }
}

void TfrmMain::ImportKeywordFile(const std::string& path) {
  // The rows already in the table stay; the file's rows are numbered on
  // from them, like every other way of adding rows.
  // A path that names no regular file (gone, a folder, a pipe, a device)
  // does nothing.
  std::optional<std::vector<std::string>> read = ReadKeywordFile(std::filesystem::path(path));
  if (!read) return;
  std::vector<NewKeyword> keywords;
  keywords.reserve(read->size());
  for (std::string& line : *read) keywords.push_back(NewKeyword{std::move(line), {}});
  model_->AppendKeywords(keywords);
  // The panel shows the row count after the last line; nothing draws in
  // between, so one write shows what a write per line would.
  if (!keywords.empty()) stbMain->ShowTotal(model_->RowCount());
}

void TfrmMain::btnSaveResultsClick() {
  SaveResultsCsv();
}

void TfrmMain::SaveResultsCsv() {
  // While a filter hides rows, only the rows shown are written, and the
  // hidden ones stay unsaved.
  if (model_->FilterActive() && model_->ShownCount() != model_->RowCount())
    exporter_.SaveResultsCsv(model_->ShownStore());
  else
    SaveAllRows();
}

// ---------------------------------------------------------------------------
// Links

void TfrmMain::lblLink1URLClick() {
  OpenLinkAddress(lblLink1URL->Address());
}

void TfrmMain::lblLink2URLClick() {
  OpenLinkAddress(lblLink2URL->Address());
}

void TfrmMain::OpenLinkAddress(const std::string& address) {
  if (address.empty()) return;
  OpenAddress(WebAddress(address));
}

void TfrmMain::OpenPageLink(const QUrl& link) {
  // Only web addresses: a page must not make the program open a file of
  // the user's, or start whatever handles another scheme.
  const QString scheme = link.scheme().toLower();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return;
  OpenAddress(link.toString(QUrl::FullyEncoded).toStdString());
}

void TfrmMain::OpenAddress(const std::string& address) {
  if (OpenUrl(address)) return;
  msgMain_.ShowAddress(kNoBrowserText, address);
}

// ---------------------------------------------------------------------------
// Outbound links, About, news and update

void TfrmMain::btnMakeMoneyClick() {
  OpenAddress(brandSettings_.AffiliateURL);
}

void TfrmMain::btnAboutClick() {
  TfrmAbout about(brandSettings_, this);
  about.exec();
}

void TfrmMain::btnNewsClick() {
  if (DeferredBehindBackgroundCheck(&TfrmMain::btnNewsClick)) return;
  publisher_->NewsCommand(newsItems_);
}

void TfrmMain::btnUpdateClick() {
  if (DeferredBehindBackgroundCheck(&TfrmMain::btnUpdateClick)) return;
  publisher_->CheckUpdates(false);
}

void TfrmMain::btnHelpClick() {
  OpenAddress(brandSettings_.AppHelpURL);
}

void TfrmMain::imgBannerClick() {
  if (!brandSettings_.BannerURL.empty()) OpenAddress(brandSettings_.BannerURL);
}

void TfrmMain::gifBannerClick() {
  if (!brandSettings_.BannerURL.empty()) OpenAddress(brandSettings_.BannerURL);
}

// ---------------------------------------------------------------------------
// Keyword research over the network

void TfrmMain::btnGatherKeywordClick() {
  // Stop must not wait for the start-up check.
  if (keywords_->StopGatherKeywords()) return;
  // After a Stop the button reads "Gather Keywords" again, but waits like
  // every other command for the stopped run to end.
  if (CommandsBusy()) return;
  if (DeferredBehindBackgroundCheck(&TfrmMain::btnGatherKeywordClick)) return;
  keywords_->GatherKeywords(mainKeyword_);
}

void TfrmMain::btnGatherDataClick() {
  // Stop must not wait for the start-up check.
  if (keywords_->RefuseOrStopGatherData()) return;
  if (DeferredBehindBackgroundCheck(&TfrmMain::btnGatherDataClick)) return;
  keywords_->GatherData(KeywordCommands::Rows::kShown);
}

void TfrmMain::actGatherTickedClick() {
  // A Gather Data run keeps the commands busy from its start to its end.
  if (CommandsBusy()) return;
  if (DeferredBehindBackgroundCheck(&TfrmMain::actGatherTickedClick)) return;
  keywords_->GatherData(KeywordCommands::Rows::kTicked);
}

void TfrmMain::actGatherMissingClick() {
  if (CommandsBusy()) return;
  if (DeferredBehindBackgroundCheck(&TfrmMain::actGatherMissingClick)) return;
  keywords_->GatherData(KeywordCommands::Rows::kMissing);
}

SearchType TfrmMain::CurrentSearchType() const {
  return keywords_->CurrentSearchType();
}

// ---------------------------------------------------------------------------
// The HTTP client's host

void TfrmMain::ShowMainStatus(const std::string& text) {
  stbMain->ShowStatus(text);
}

void TfrmMain::WorkBegin(std::int64_t expected) {
  stbMain->WorkBegin(expected);
}

void TfrmMain::Work(std::int64_t transferred) {
  stbMain->Work(transferred);
}

void TfrmMain::WorkEnd() {
  stbMain->WorkEnd();
}

void TfrmMain::ProcessMessages() {
  // A request pumps several times per page, and each pump that finds a
  // change lays out and draws the window: a run of many small pages spent
  // more time on that than on the pages. The window is served at most once
  // per frame; input waits a frame at most.
  constexpr qint64 kFrameMs = 16;
  if (lastPump_.isValid() && lastPump_.elapsed() < kFrameMs) return;
  lastPump_.start();
  QCoreApplication::processEvents();
}

std::unique_ptr<SocketWait> TfrmMain::NewSocketWait() {
  return std::make_unique<EventLoopWait>();
}

void TfrmMain::RequestRunning(bool running) {
  if (publisher_ && publisher_->BackgroundCheckRunning()) {
    // The start-up check runs unseen and disables nothing; once it has
    // given way to the user it sends nothing more.
    if (running && publisher_->BackgroundCheckGaveWay()) idHTTP1_->Disconnect();
    return;
  }
  SetCommandsBusy(running);
}

void TfrmMain::SetCommandsBusy(bool busy) {
  busyDepth_ = std::max(0, busyDepth_ + (busy ? 1 : -1));
  UpdateCommandStates();
}

void TfrmMain::UpdateCommandStates() {
  const bool idle = !CommandsBusy();
  for (QWidget* command :
       std::initializer_list<QWidget*>{btnMainKeyword, btnGatherKeyword, btnAddKeyword,
                                       btnDeleteSelected, btnDeleteAll, btnNews, btnUpdate})
    command->setEnabled(idle);
  // Stop stays available while everything else waits for the run.
  const bool gatherDataRunning = keywords_->GatherDataRunning();
  const bool gatherKeywordsRunning = keywords_->GatherKeywordsRunning();
  btnGatherData->setEnabled(idle || gatherDataRunning);
  btnGatherKeyword->setEnabled(idle || gatherKeywordsRunning);
  lvwItems->horizontalHeader()->setSectionsClickable(idle && headerSortEnabled_);
  transfer_->SetIdle(idle);
  keyStop->setEnabled(gatherDataRunning || gatherKeywordsRunning);
  actGatherTicked->setEnabled(idle);
  actGatherMissing->setEnabled(idle);
  UpdateUndoActions();
}

}  // namespace quorvane
