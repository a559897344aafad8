#pragma once

#include <QElapsedTimer>
#include <QStatusBar>
#include <QTimer>
#include <cstdint>
#include <string>

#include "app/RunEstimate.h"

class QLabel;
class QProgressBar;

namespace quorvane {

class ElidingLabel;

// The main page's status bar: the status text, the main keyword, the item
// count and the transfer gauge, as panels that fill the bar's height. Texts
// are 8-bit and shown as plain text. The bar and its panels have their
// design sizes at small fonts and grow to show their texts whole in the
// user's font.
//
// A run of many small fetches changes the status text and the gauge
// several times per page; painting each change (the gauge even repaints at
// once) would cost more than the fetches themselves. The first change
// paints; later ones within a short interval are drawn together when it
// ends.
class MainStatusBar final : public QStatusBar {
 public:
  MainStatusBar();

  // MainStatusPanel.
  void ShowStatus(const std::string& text);
  // MainKeywordPanel: "Main Keyword: " and the keyword.
  void ShowMainKeyword(const std::string& keyword);
  // SecondStatusPanel: the row count followed by " items listed", with no
  // singular form ("1 items listed"); it reads "0 item listed" until the
  // first count. The panel widens for a text longer than its design width.
  void ShowItemCount(int rows);
  // The same panel after rows have been read in from a file, the clipboard
  // or a drop: "Total: " and the row count.
  void ShowTotal(int rows);
  // The panel's text as it stands, and that text shown again (Undo brings
  // back what the panel said before a step).
  std::string ItemCountText() const;
  void ShowItemCountText(const std::string& text) { SetItemCountText(text); }
  // RunProgressPanel, shown only while a run goes on. A run over `rows`
  // rows shows the row it is at and, once it can tell, the time left
  // ("Row 370 of 1,000 · about 2 min left"); a run of unknown length
  // (rows 0: Gather Keywords) shows "Gathering keywords". A run that ends
  // before its last row leaves the panel saying where it stopped ("Stopped
  // at row 1,881 of 10,000 — …") until ForgetEndedRun; otherwise RunEnds
  // hides the panel.
  void RunBegins(int rows);
  void RunRowsDone(int done);
  void RunEnds();
  // Hides what an ended run left in the panel; nothing while a run goes on.
  void ForgetEndedRun();

  // The gauge through a transfer: its length (0: unannounced, drawn as
  // busy), the bytes so far, and the end, where it shows full.
  void WorkBegin(std::int64_t expected);
  void Work(std::int64_t transferred);
  void WorkEnd();

 protected:
  bool event(QEvent* event) override;

 private:
  void AddPanel(QWidget* panel, int stretch);
  void TightenLayout();
  void SetItemCountText(const std::string& text);
  // An empty text hides the panel.
  void ShowRunProgress(const std::string& utf8Text);
  void HoldPaint();
  void ReleasePaint();

  QTimer paintHold_;
  RunEstimate runEstimate_;
  QElapsedTimer runClock_;
  bool runGoesOn_ = false;
  QLabel* MainStatusPanel = nullptr;
  QLabel* MainKeywordPanel = nullptr;
  QLabel* SecondStatusPanel = nullptr;
  ElidingLabel* RunProgressPanel = nullptr;
  QProgressBar* MainGauge = nullptr;
};

}  // namespace quorvane
