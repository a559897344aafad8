#pragma once

#include <QUrl>
#include <QWidget>
#include <string>

class QPushButton;
class QTextBrowser;

namespace quorvane {

// The welcome page of the main window (stsWelcome): the brand's HTML page,
// read-only, over a strip with the one button that leads on. Enter presses
// that button, wherever the focus is on the page. The button and the strip
// have their design sizes at small fonts and grow with the user's font.
class WelcomePage final : public QWidget {
  Q_OBJECT

 public:
  explicit WelcomePage(QWidget* parent = nullptr);

  // Shows an 8-bit HTML text as the page's document.
  void SetHtml(const std::string& html);
  QPushButton* ThanksButton() const { return btnThanks; }

 signals:
  // A link of the page was clicked; the page itself never follows one.
  void LinkClicked(const QUrl& link);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTextBrowser* prfWelcome;
  QPushButton* btnThanks;
};

}  // namespace quorvane
