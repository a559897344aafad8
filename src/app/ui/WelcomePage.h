#pragma once

#include <QWidget>
#include <string>

class QPushButton;
class QTextBrowser;

namespace quorvane {

// The welcome page of the main window (stsWelcome): the brand's HTML page,
// read-only, over a strip with the one button that leads on. Enter presses
// that button, wherever the focus is on the page.
class WelcomePage final : public QWidget {
  Q_OBJECT

 public:
  explicit WelcomePage(QWidget* parent = nullptr);

  // Shows an 8-bit HTML text as the page's document.
  void SetHtml(const std::string& html);
  QPushButton* ThanksButton() const { return btnThanks; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTextBrowser* prfWelcome;
  QPushButton* btnThanks;
};

}  // namespace quorvane
