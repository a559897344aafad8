#include "app/ui/MainStatusBar.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <algorithm>
#include <climits>

#include "app/ui/ElidingLabel.h"
#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

// Design sizes: what the bar and its panels measure at small fonts.
constexpr int kBarHeight = 17;
constexpr int kMainKeywordPanelWidth = 160;
constexpr int kItemCountPanelWidth = 82;
constexpr int kGaugeWidth = 130;
// A long main keyword widens its panel this far; the rest of it is cut.
constexpr int kMainKeywordPanelWidest = 3 * kMainKeywordPanelWidth;

}  // namespace

MainStatusBar::MainStatusBar() {
  // A real status bar, so that screen readers know the panels for what
  // they are.
  setObjectName(QStringLiteral("stbMain"));
  setAccessibleName(QStringLiteral("Status"));
  setMinimumHeight(kBarHeight);
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

  const auto panel = [&](const char* name, const char* text, int width,
                         QLabel* label = new QLabel) {
    label->setText(QLatin1String(text));
    label->setObjectName(QLatin1String(name));
    // Status texts carry keywords off the network: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setContentsMargins(2, 0, 2, 0);
    if (width > 0) {
      // Its design width, or what its text needs in the user's font.
      label->setMinimumWidth(width);
      label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    } else {
      // Long status texts must not widen the window.
      label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    AddPanel(label, width > 0 ? 0 : 1);
    return label;
  };
  MainStatusPanel = panel("MainStatusPanel", "", 0);
  MainKeywordPanel = panel("MainKeywordPanel", "Main Keyword: ", kMainKeywordPanelWidth);
  MainKeywordPanel->setMaximumWidth(kMainKeywordPanelWidest);
  SecondStatusPanel = panel("SecondStatusPanel", "0 item listed", kItemCountPanelWidth);
  // Shown only while a run goes on or after one that stopped; a hidden
  // item takes no room, so the bar looks as it always did otherwise.
  // Next to the fixed panels a long text ("Stopped at row … — Gather
  // Missing Data goes on from there") may not fit a narrow window in a
  // large font: its end is elided then, never the row.
  RunProgressPanel = new ElidingLabel;
  panel("RunProgressPanel", "", 0, RunProgressPanel);
  RunProgressPanel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  RunProgressPanel->setAccessibleName(QStringLiteral("Run progress"));
  RunProgressPanel->hide();
  MainGauge = new QProgressBar;
  MainGauge->setObjectName(QStringLiteral("MainGauge"));
  MainGauge->setMinimumWidth(kGaugeWidth);
  MainGauge->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
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
  // Only a layout Qt has just built: setting a spacing, even the same one,
  // asks for a new layout pass, and so for another call of this, forever.
  for (int i = 0; i < layout()->count(); ++i) {
    QLayout* row = layout()->itemAt(i)->layout();
    if (row != nullptr && row->spacing() != 2) row->setSpacing(2);
  }
}

void MainStatusBar::ShowStatus(const std::string& text) {
  HoldPaint();
  MainStatusPanel->setText(FromLocal(text));
}

void MainStatusBar::ShowMainKeyword(const std::string& keyword) {
  MainKeywordPanel->setText(FromLocal("Main Keyword: " + keyword));
}

// A count of many digits widens the panel rather than being cut off, and
// the main status panel gives up the room.
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
  // The panel is as wide as its design or as this text needs, whichever is more.
  SecondStatusPanel->setText(FromLocal(text));
}

void MainStatusBar::RunBegins(int rows) {
  runGoesOn_ = true;
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
  runGoesOn_ = false;
  // A run that stopped short says where, so that the user can go on.
  const bool stoppedShort = runEstimate_.Total() > 0 && runEstimate_.Done() < runEstimate_.Total();
  ShowRunProgress(stoppedShort ? runEstimate_.StoppedText() : std::string());
}

void MainStatusBar::ForgetEndedRun() {
  if (!runGoesOn_) ShowRunProgress({});
}

void MainStatusBar::ShowRunProgress(const std::string& utf8Text) {
  const QString text = QString::fromUtf8(utf8Text);
  // The row always shows; what follows it may be elided.
  qsizetype kept = text.size();
  for (const QString& separator : {QStringLiteral(" \u00b7 "), QStringLiteral(" \u2014 ")})
    if (const qsizetype at = text.indexOf(separator); at >= 0) kept = std::min(kept, at);
  RunProgressPanel->SetText(text, static_cast<int>(kept));
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
