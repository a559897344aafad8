#include "app/ui/WelcomePage.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/ui/WelcomeBrowser.h"
#include "base/ui/FitButton.h"
#include "base/ui/LocalText.h"

namespace quorvane {

WelcomePage::WelcomePage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("stsWelcome"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  prfWelcome = new WelcomeBrowser;
  prfWelcome->setObjectName(QStringLiteral("prfWelcome"));
  prfWelcome->setAccessibleName(QStringLiteral("Welcome page"));
  column->addWidget(prfWelcome, 1);
  connect(prfWelcome, &QTextBrowser::anchorClicked, this, &WelcomePage::LinkClicked);

  auto* strip = new QWidget;
  strip->setObjectName(QStringLiteral("panThanks"));
  strip->setMinimumHeight(39);
  strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* row = new QHBoxLayout(strip);
  btnThanks =
      new FitButton(QStringLiteral("Thanks, just show me the main application"), QSize(265, 20));
  btnThanks->setObjectName(QStringLiteral("btnThanks"));
  btnThanks->setDefault(true);
  row->addWidget(btnThanks, 0, Qt::AlignCenter);
  column->addWidget(strip);
  setFocusProxy(btnThanks);
}

void WelcomePage::SetHtml(const std::string& html) {
  prfWelcome->setHtml(FromLocal(html));
}

void WelcomePage::keyPressEvent(QKeyEvent* event) {
  // A main window has no default button of its own: Enter that nothing on
  // the page took presses Thanks.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    btnThanks->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace quorvane
