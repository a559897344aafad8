#pragma once

#include <QStatusBar>
#include <QTimer>
#include <cstdint>
#include <string>

class QLabel;
class QProgressBar;

namespace quorvane {

// The main page's status bar: the status text, the main keyword, the item
// count and the transfer gauge, as panels that fill the bar's height. Texts
// are 8-bit and shown as plain text.
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
  // SecondStatusPanel, widened for a text longer than its design width.
  void ShowItemCount(const std::string& text);
  // RunProgressPanel, shown only while a run goes on: its own progress as
  // UTF-8 text ("Row 370 of 1,000 · about 2 min left"). An empty text hides
  // the panel.
  void ShowRunProgress(const std::string& utf8Text);

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
  void HoldPaint();
  void ReleasePaint();

  QTimer paintHold_;
  QLabel* MainStatusPanel = nullptr;
  QLabel* MainKeywordPanel = nullptr;
  QLabel* SecondStatusPanel = nullptr;
  QLabel* RunProgressPanel = nullptr;
  QProgressBar* MainGauge = nullptr;
};

}  // namespace quorvane
