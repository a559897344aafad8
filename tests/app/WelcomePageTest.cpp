#include "app/ui/WelcomePage.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <sys/stat.h>

#include <QBuffer>
#include <QImage>
#include <QTextDocument>
#include <filesystem>

#include "app/ui/WelcomeBrowser.h"
#include "support/ModalDialogs.h"
#include "support/PictureBytes.h"
#include "support/TempFolder.h"

using namespace quorvane;

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
  // The design size at least, wider where the font needs it.
  const QSize size = page_.ThanksButton()->size();
  EXPECT_GE(size.width(), 265);
  EXPECT_GE(size.height(), 20);
  EXPECT_GE(size.width(), page_.ThanksButton()->sizeHint().width());
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

// The welcome page shows the brand's pictures from the program folder and
// reads nothing else: no device, pipe or file outside it, nothing remote.
TEST_F(WelcomePageTest, PicturesComeOnlyFromRegularFilesInTheProgramFolder) {
  TempFolder program(true);
  TempFolder elsewhere;
  program.Write("welcome.png", PictureBytes("PNG"));
  std::filesystem::create_directory(program.File("pics"));
  program.Write("pics/inner.png", PictureBytes("PNG"));
  elsewhere.Write("outside.png", PictureBytes("PNG"));
  std::filesystem::create_symlink(elsewhere.File("outside.png"), program.File("link.png"));
  ASSERT_EQ(::mkfifo(program.File("pipe.png").c_str(), 0600), 0);

  auto* browser = Child<WelcomeBrowser>(&page_, "prfWelcome");
  const QString outside = QString::fromStdString(elsewhere.File("outside.png").string());
  const struct {
    QString name;
    bool loaded;
  } cases[] = {
      {"welcome.png", true},
      {"pics/inner.png", true},
      {QUrl::fromLocalFile(QString::fromStdString(program.File("welcome.png").string())).toString(),
       true},
      {"pics/../welcome.png", true},
      {"../" + QString::fromStdString(elsewhere.Path().filename().string()) + "/outside.png",
       false},
      {outside, false},
      {"link.png", false},
      {"pipe.png", false},
      {"/dev/zero", false},
      {"file:///dev/zero", false},
      {"missing.png", false},
      {"pics", false},
      {"http://127.0.0.1:1/welcome.png", false},
  };
  for (const auto& c : cases) {
    const QVariant resource = browser->loadResource(QTextDocument::ImageResource, QUrl(c.name));
    EXPECT_EQ(resource.toByteArray().toStdString() == PictureBytes("PNG"), c.loaded)
        << c.name.toStdString();
  }

  // Shown in a page, the pictures that may load do, and the others leave
  // the page standing.
  page_.SetHtml("<img src=\"welcome.png\"><img src=\"/dev/zero\"><img src=\"pipe.png\">");
  EXPECT_FALSE(
      browser->document()->resource(QTextDocument::ImageResource, QUrl("welcome.png")).isNull());
}

}  // namespace
