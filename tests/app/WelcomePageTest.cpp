#include "app/WelcomePage.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "support/ModalDialogs.h"

namespace {

class WelcomePageTest : public ::testing::Test {
 protected:
  WelcomePageTest() {
    QObject::connect(page_.ThanksButton(), &QPushButton::clicked, [this] { ++clicks_; });
    page_.show();
  }

  WelcomePage page_;
  int clicks_ = 0;
};

TEST_F(WelcomePageTest, ShowsTheHtmlReadOnly) {
  page_.SetHtml("<html><body><h1>Welcome</h1>caf\xc3\xa9</body></html>");
  auto* browser = Child<QTextBrowser>(&page_, "prfWelcome");
  EXPECT_EQ(browser->toPlainText(), QString::fromUtf8("Welcome\ncaf\xc3\xa9"));
  EXPECT_TRUE(browser->isReadOnly());
  EXPECT_EQ(page_.ThanksButton()->text(), "Thanks, just show me the main application");
  EXPECT_EQ(page_.ThanksButton()->size(), QSize(265, 20));
}

TEST_F(WelcomePageTest, EnterPressesThanksOnceWhereverTheFocusIs) {
  struct Case {
    QWidget* target;
    Qt::Key key;
  };
  auto* browser = Child<QTextBrowser>(&page_, "prfWelcome");
  for (const Case& c : {Case{browser, Qt::Key_Return}, Case{browser, Qt::Key_Enter},
                        Case{page_.ThanksButton(), Qt::Key_Return}, Case{&page_, Qt::Key_Return}}) {
    clicks_ = 0;
    QTest::keyClick(c.target, c.key);
    EXPECT_EQ(clicks_, 1) << c.target->objectName().toStdString() << " key " << c.key;
  }
  clicks_ = 0;
  QTest::keyClick(browser, Qt::Key_A);
  EXPECT_EQ(clicks_, 0);
}

}  // namespace
