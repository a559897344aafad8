#include "app/ui/MainStatusBar.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <algorithm>
#include <climits>

#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

constexpr int kItemCountPanelWidth = 82;

}  // namespace

MainStatusBar::MainStatusBar() {
  // A real status bar, so that screen readers know the panels for what
  // they are.
  setObjectName(QStringLiteral("stbMain"));
  setAccessibleName(QStringLiteral("Status"));
  setFixedHeight(17);
  setSizeGripEnabled(false);
  // Qt's own layout of a status bar keeps a few pixels above, below and
  // left of its items and 6 between them; these margins take that room
  // back (negative margins count only when no safe area is respected),
  // and TightenLayout sets the spacing to 2.
  setAttribute(Qt::WA_ContentsMarginsRespectsSafeArea, false);
  setContentsMargins(-2, -3, 0, -2);

  paintHold_.setSingleShot(true);
  paintHold_.setInterval(40);
  connect(&paintHold_, &QTimer::timeout, this, &MainStatusBar::ReleasePaint);

  // Small enough for the panel text to fit the bar's height.
  QFont panelFont = font();
  panelFont.setPointSize(8);
  setFont(panelFont);
  const auto panel = [&](const char* name, const char* text, int width) {
    auto* label = new QLabel(QLatin1String(text));
    label->setObjectName(QLatin1String(name));
    // Status texts carry keywords off the network: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(panelFont);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setContentsMargins(2, 0, 2, 0);
    if (width > 0) {
      label->setFixedWidth(width);
    } else {
      // Long status texts must not widen the window.
      label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    AddPanel(label, width > 0 ? 0 : 1);
    return label;
  };
  MainStatusPanel = panel("MainStatusPanel", "", 0);
  MainKeywordPanel = panel("MainKeywordPanel", "Main Keyword: ", 160);
  SecondStatusPanel = panel("SecondStatusPanel", "0 item listed", kItemCountPanelWidth);
  // Shown only while a run goes on; a hidden item takes no room, so the bar
  // looks as it always did otherwise.
  RunProgressPanel = panel("RunProgressPanel", "", 0);
  RunProgressPanel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  RunProgressPanel->setAccessibleName(QStringLiteral("Run progress"));
  RunProgressPanel->hide();
  MainGauge = new QProgressBar;
  MainGauge->setObjectName(QStringLiteral("MainGauge"));
  MainGauge->setFont(panelFont);
  MainGauge->setFixedWidth(130);
  MainGauge->setRange(0, 100);
  MainGauge->setValue(0);
  MainGauge->setTextVisible(true);
  MainGauge->setFormat(QStringLiteral("%p%"));
  MainGauge->setAlignment(Qt::AlignCenter);
  MainGauge->setAccessibleName(QStringLiteral("Progress"));
  AddPanel(MainGauge, 0);
}

void MainStatusBar::AddPanel(QWidget* panel, int stretch) {
  // Permanent: no passing message ever hides a panel.
  addPermanentWidget(panel, stretch);
  TightenLayout();
}

bool MainStatusBar::event(QEvent* event) {
  const bool handled = QStatusBar::event(event);
  // Qt builds the layout afresh whenever the items change height.
  if (event->type() == QEvent::LayoutRequest) TightenLayout();
  return handled;
}

void MainStatusBar::TightenLayout() {
  if (layout() == nullptr) return;
  for (int i = 0; i < layout()->count(); ++i) {
    if (QLayout* row = layout()->itemAt(i)->layout()) row->setSpacing(2);
  }
}

void MainStatusBar::ShowStatus(const std::string& text) {
  HoldPaint();
  MainStatusPanel->setText(FromLocal(text));
}

void MainStatusBar::ShowMainKeyword(const std::string& keyword) {
  MainKeywordPanel->setText(FromLocal("Main Keyword: " + keyword));
}

void MainStatusBar::ShowItemCount(int rows) {
  SetItemCountText(std::to_string(rows) + " items listed");
}

void MainStatusBar::ShowTotal(int rows) {
  SetItemCountText("Total: " + std::to_string(rows));
}

std::string MainStatusBar::ItemCountText() const {
  return ToLocal(SecondStatusPanel->text());
}

void MainStatusBar::SetItemCountText(const std::string& text) {
  SecondStatusPanel->setText(FromLocal(text));
  // The panel is 82 pixels wide; a count of many digits widens it rather
  // than being cut off, and the main status panel gives up the room.
  const QMargins margins = SecondStatusPanel->contentsMargins();
  const int needed = SecondStatusPanel->fontMetrics().horizontalAdvance(SecondStatusPanel->text()) +
                     margins.left() + margins.right() + 2 * SecondStatusPanel->frameWidth() + 2;
  SecondStatusPanel->setFixedWidth(std::max(kItemCountPanelWidth, needed));
}

void MainStatusBar::RunBegins(int rows) {
  runClock_.start();
  runEstimate_.Start(rows, 0);
  ShowRunProgress(rows > 0 ? runEstimate_.Text() : "Gathering keywords");
}

void MainStatusBar::RunRowsDone(int done) {
  if (runEstimate_.Total() <= 0) return;
  runEstimate_.RowDone(done, runClock_.elapsed());
  ShowRunProgress(runEstimate_.Text());
}

void MainStatusBar::RunEnds() {
  ShowRunProgress({});
}

void MainStatusBar::ShowRunProgress(const std::string& utf8Text) {
  RunProgressPanel->setText(QString::fromUtf8(utf8Text));
  RunProgressPanel->setVisible(!utf8Text.empty());
}

void MainStatusBar::WorkBegin(std::int64_t expected) {
  HoldPaint();
  MainGauge->setMaximum(static_cast<int>(std::clamp<std::int64_t>(expected, 0, INT_MAX)));
  MainGauge->setValue(0);
}

void MainStatusBar::Work(std::int64_t transferred) {
  HoldPaint();
  MainGauge->setValue(
      static_cast<int>(std::clamp<std::int64_t>(transferred, 0, MainGauge->maximum())));
}

void MainStatusBar::WorkEnd() {
  HoldPaint();
  // A transfer of unannounced length ran on the busy gauge; once it is
  // over the gauge shows it complete.
  if (MainGauge->maximum() == 0) MainGauge->setMaximum(100);
  MainGauge->setValue(MainGauge->maximum());
}

void MainStatusBar::HoldPaint() {
  if (paintHold_.isActive()) {
    MainStatusPanel->setUpdatesEnabled(false);
    MainGauge->setUpdatesEnabled(false);
  } else {
    paintHold_.start();
  }
}

void MainStatusBar::ReleasePaint() {
  MainStatusPanel->setUpdatesEnabled(true);
  MainGauge->setUpdatesEnabled(true);
}

}  // namespace quorvane
