#include "app/ui/WelcomePage.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>

#include <QVBoxLayout>
#include "app/ui/WelcomeBrowser.h"
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

  auto* strip = new QWidget;
  strip->setObjectName(QStringLiteral("panThanks"));
  strip->setFixedHeight(39);
  auto* row = new QHBoxLayout(strip);
  btnThanks = new QPushButton(QStringLiteral("Thanks, just show me the main application"));
  btnThanks->setObjectName(QStringLiteral("btnThanks"));
  btnThanks->setFixedSize(265, 20);
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
