#include "publisher/ui/FNews.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/ui/FitButton.h"
#include "base/ui/LocalText.h"
#include "publisher/NewsRecord.h"
#include "publisher/NewsService.h"
#include "publisher/ui/GuardedSelectionModel.h"
#include "publisher/ui/NewsBrowser.h"

namespace quorvane {

namespace {

constexpr int kClientWidth = 682;
constexpr int kClientHeight = 411;
constexpr int kListPanelHeight = 105;
constexpr int kSplitterWidth = 10;
constexpr int kButtonPanelHeight = 41;
constexpr int kPublishedWidth = 160;

}  // namespace

TfrmNews::TfrmNews(const std::vector<std::string>& newsItems, NewsService& news,
                   std::function<void(const std::string&)> saveLastNewsId, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      newsItems_(newsItems),
      news_(news),
      saveLastNewsId_(std::move(saveLastNewsId)) {
  setObjectName(QStringLiteral("frmNews"));
  setWindowTitle(QStringLiteral("News"));
  setModal(true);
  resize(kClientWidth, kClientHeight);

  panList = new QWidget;
  panList->setObjectName(QStringLiteral("panList"));
  panList->setMinimumHeight(10);
  lvwItems = new QTreeWidget(panList);
  lvwItems->setObjectName(QStringLiteral("lvwItems"));
  lvwItems->setAccessibleName(QStringLiteral("News"));
  lvwItems->setColumnCount(3);
  lvwItems->setHeaderLabels({QStringLiteral("News Title"), QStringLiteral("Published"), QString()});
  lvwItems->setColumnHidden(kIdColumn, true);
  lvwItems->setRootIsDecorated(false);
  lvwItems->setItemsExpandable(false);
  lvwItems->setUniformRowHeights(true);
  lvwItems->setSelectionMode(QAbstractItemView::SingleSelection);
  lvwItems->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvwItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvwItems->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  lvwItems->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QHeaderView* header = lvwItems->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  header->setSectionResizeMode(1, QHeaderView::Fixed);
  header->resizeSection(1, kPublishedWidth);
  // Arial at 14 pixels, or the user's size when that is larger.
  QFont listFont(QStringLiteral("Arial"));
  listFont.setPixelSize(std::max(14, QFontInfo(lvwItems->font()).pixelSize()));
  lvwItems->setFont(listFont);
  // Keep the chosen row visibly selected while the focus is elsewhere.
  QPalette listPalette = lvwItems->palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
    listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
  }
  lvwItems->setPalette(listPalette);
  QItemSelectionModel* defaultSelection = lvwItems->selectionModel();
  lvwItems->setSelectionModel(new GuardedSelectionModel(
      lvwItems->model(), [this] { return lvwItemsChanging(); }, lvwItems));
  delete defaultSelection;
  auto* listLayout = new QVBoxLayout(panList);
  listLayout->setContentsMargins(0, 0, 0, 0);
  listLayout->addWidget(lvwItems);

  prfEditorNews = new NewsBrowser;
  prfEditorNews->setObjectName(QStringLiteral("prfEditorNews"));
  prfEditorNews->setAccessibleName(QStringLiteral("News item"));

  splitter = new QSplitter(Qt::Vertical);
  splitter->setObjectName(QStringLiteral("splitter"));
  splitter->setHandleWidth(kSplitterWidth);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(panList);
  splitter->addWidget(prfEditorNews);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes(
      {kListPanelHeight, kClientHeight - kListPanelHeight - kSplitterWidth - kButtonPanelHeight});
  splitter->handle(1)->setAccessibleName(QStringLiteral("Splitter"));

  panButtons = new QWidget;
  panButtons->setObjectName(QStringLiteral("panButtons"));
  panButtons->setMinimumHeight(kButtonPanelHeight);
  panButtons->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  // At 304, 7 and 97 x 20 at small fonts; larger with the user's font.
  btnExit = new FitButton(QStringLiteral("Close"), QSize(97, 20), panButtons);
  btnExit->setObjectName(QStringLiteral("btnExit"));
  auto* buttonRow = new QHBoxLayout(panButtons);
  buttonRow->setContentsMargins(304, 7, 0, 7);
  buttonRow->addWidget(btnExit, 0, Qt::AlignTop);
  buttonRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(splitter, 1);
  layout->addWidget(panButtons);

  connect(lvwItems->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TfrmNews::lvwItemsChange);
  connect(btnExit, &QPushButton::clicked, this, &TfrmNews::btnExitClick);
  connect(prfEditorNews, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
    if (openLink_) openLink_(link);
  });
}

void TfrmNews::OnLinkClicked(std::function<void(const QUrl&)> open) {
  openLink_ = std::move(open);
}

TfrmNews::~TfrmNews() {
  // The list's selection model asks this window before every change, also
  // while the list is torn down; the list must go while the window is
  // still whole, and without showing anything.
  disconnect(lvwItems->selectionModel(), nullptr, this, nullptr);
  fetchingDetails_ = false;
  delete lvwItems;
  lvwItems = nullptr;
}

void TfrmNews::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->geometry().center());
    move(frame.topLeft());
  }
  FormShow();
}

void TfrmNews::FormShow() {
  lvwItems->clear();
  for (const auto& record : newsItems_) {
    const NewsRecord fields = SplitNewsRecord(record);
    auto* row = new QTreeWidgetItem(lvwItems);
    row->setText(0, FromLocal(fields.title));
    row->setText(1, FromLocal(fields.published));
    row->setText(kIdColumn, FromLocal(fields.id));
    // The id goes back to the service and into the marker byte for byte,
    // never through a text codec.
    row->setData(kIdColumn, Qt::UserRole,
                 QByteArray(fields.id.data(), static_cast<qsizetype>(fields.id.size())));
  }
  lvwItems->selectionModel()->clearSelection();
}

bool TfrmNews::lvwItemsChanging() const {
  return !fetchingDetails_;
}

void TfrmNews::lvwItemsChange() {
  const QList<QTreeWidgetItem*> selected = lvwItems->selectedItems();
  if (selected.isEmpty() || fetchingDetails_) return;
  const std::string id =
      selected.front()->data(kIdColumn, Qt::UserRole).toByteArray().toStdString();

  QPointer<TfrmNews> self(this);
  fetchingDetails_ = true;
  SetBusyCursor(true);
  std::string body;
  const bool ok = news_.RequestBrandNewsDetails(id, body);
  if (!self) return;
  if (ok) {
    prfEditorNews->setHtml(FromLocal(body));
    saveLastNewsId_(id);
  }
  SetBusyCursor(false);
  fetchingDetails_ = false;
}

void TfrmNews::SetBusyCursor(bool busy) {
  for (QWidget* w :
       {static_cast<QWidget*>(this), static_cast<QWidget*>(lvwItems), lvwItems->viewport(),
        static_cast<QWidget*>(prfEditorNews), prfEditorNews->viewport()}) {
    if (busy) {
      w->setCursor(Qt::WaitCursor);
    } else {
      w->unsetCursor();
    }
  }
}

void TfrmNews::btnExitClick() {
  accept();
}

}  // namespace quorvane
