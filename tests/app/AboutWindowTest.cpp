// The About window and the outbound links of the main window, on real
// windows under the offscreen platform. The links start a fake browser
// registered in a desktop of the test's own.
#include "app/ui/FAbout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "app/ui/BannerLabel.h"
#include "app/ui/FMain.h"
#include "app/ui/LinkLabel.h"
#include "base/ui/MessageBox.h"
#include "settings/ContainerFile.h"
#include "settings/SettingsFile.h"
#include "support/FakeBrowser.h"
#include "support/MainWindowFixture.h"
#include "support/SettingsText.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

struct AboutTexts {
  QString title;
  QString name;
  QString version;
  QString copyright;
  QString memo;
};

class AboutWindowTest : public MainWindowFixture {
 protected:
  // Opens About from the main window, reads the dialog and closes it with Ok.
  AboutTexts OpenAbout(TfrmMain& window) {
    AboutTexts texts;
    bool seen = false;
    WhenModalOpens([&](QWidget* dialog) {
      seen = true;
      EXPECT_EQ(dialog->objectName(), "frmAbout");
      texts.title = dialog->windowTitle();
      texts.name = Child<QLabel>(dialog, "lblProductName")->text();
      texts.version = Child<QLabel>(dialog, "lblProductVersion")->text();
      texts.copyright = Child<QLabel>(dialog, "lblCopyright1")->text();
      texts.memo = Child<QPlainTextEdit>(dialog, "memAbout")->toPlainText();
      Child<QPushButton>(dialog, "editAbout")->click();
    });
    Child<QPushButton>(&window, "btnAbout")->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "Ok closes the window";
    return texts;
  }
};

TEST_F(AboutWindowTest, ShowsTheBrandsNameVersionCopyrightAndText) {
  Settings(Tag("ApplicationName", "Acme Finder") + Tag("CopyrightYears", "2005-2007") +
           Tag("CopyrightCompany", "Acme Ltd") + Tag("AboutText", "line one\r\nline two\rthree"));
  TfrmMain& window = OpenWindow();
  const AboutTexts texts = OpenAbout(window);
  EXPECT_EQ(texts.title, "About Acme Finder...");
  EXPECT_EQ(texts.name, "Acme Finder");
  EXPECT_EQ(texts.version, "Product Version: 2.0");
  EXPECT_EQ(texts.copyright, "Copyright (c) 2005-2007 Acme Ltd");
  EXPECT_EQ(texts.memo, "line one\nline two\nthree");
}

TEST_F(AboutWindowTest, WithoutSettingsOnlyTheFixedTextsShow) {
  TfrmMain& window = OpenWindow();
  const AboutTexts texts = OpenAbout(window);
  EXPECT_EQ(texts.title, "About ...");
  EXPECT_EQ(texts.name, "");
  EXPECT_EQ(texts.version, "Product Version: 2.0");
  EXPECT_EQ(texts.copyright, "Copyright (c)  ");
  EXPECT_EQ(texts.memo, "");
}

TEST_F(AboutWindowTest, IsAFixedModalDialogWithoutTitleBarButtons) {
  BrandSettings brand;
  brand.AboutText = "text";
  TfrmMain& window = OpenWindow();
  TfrmAbout about(brand, &window);
  EXPECT_TRUE(about.isModal());
  EXPECT_EQ(about.minimumSize(), QSize(368, 211));
  EXPECT_EQ(about.maximumSize(), QSize(368, 211));
  const Qt::WindowFlags flags = about.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));

  EXPECT_TRUE(about.lblProductName->font().bold());
  EXPECT_EQ(about.lblProductName->pos(), QPoint(9, 7));
  EXPECT_EQ(about.lblProductVersion->pos(), QPoint(9, 32));
  EXPECT_EQ(about.memAbout->geometry(), QRect(8, 88, 348, 71));
  EXPECT_TRUE(about.memAbout->isReadOnly());
  EXPECT_EQ(about.memAbout->frameShape(), QFrame::NoFrame);
  EXPECT_EQ(about.memAbout->font().pixelSize(), 14);
  EXPECT_EQ(about.memAbout->palette().color(QPalette::Text), QColor(Qt::black));
  EXPECT_EQ(about.editAbout->text(), "Ok");
  EXPECT_EQ(about.editAbout->geometry(), QRect(129, 171, 87, 21));

  // Centred on the screen, not on its owner (within the frame, which is
  // only known once the window shows).
  about.show();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE((about.frameGeometry().center() - screen.center()).manhattanLength(), 6);
}

TEST_F(AboutWindowTest, TheAboutTextAndTheLinkHoverFollowADarkDesktop) {
  // On a light desktop they stay black and blue; on a dark one black text
  // and pure blue would hardly show (1.6:1, 1.5:1): the palette's own text
  // and link colours take their place.
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
  dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
  dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
  dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
  struct Case {
    const char* desktop;
    QPalette palette;
    QColor text;
    QColor hover;
  };
  const QPalette light = QApplication::palette();
  const Case cases[] = {
      {"light", light, Qt::black, Qt::blue},
      {"dark", dark, dark.color(QPalette::Text), dark.color(QPalette::Link)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desktop);
    QApplication::setPalette(c.palette);
    {
      TfrmAbout about(BrandSettings{}, nullptr);
      EXPECT_EQ(about.memAbout->palette().color(QPalette::Text), c.text);
      EXPECT_TRUE(about.memAbout->styleSheet().contains(c.text.name()));
    }
    TfrmMain& window = OpenWindow();
    auto* link = Child<LinkLabel>(&window, "lblLink1URL");
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), c.hover);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), c.palette.color(QPalette::WindowText));
  }
  QApplication::setPalette(light);
}

// --- Outbound links

// Every case starts the stand-in browser of a desktop of its own.
class OutboundLinksTest : public AboutWindowTest {
 protected:
  void SetUp() override {
    browser_ = FakeBrowser::OfThisProcess(FakeBrowser::Kind::kRegistered);
    if (browser_ == nullptr) GTEST_SKIP() << "needs a process of its own";
  }

  // The address the browser was started with; nullopt when it was not
  // started within `wait`.
  std::optional<std::string> Opened(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    return browser_->Opened(wait);
  }

  FakeBrowser* browser_ = nullptr;
};

TEST_F(OutboundLinksTest, HelpMakeMoneyAndTheBannerStartTheBrowser) {
  Settings(Tag("AffiliateURL", "http://aff.example/?a=1&id=%%AFFILIATEID%%") +
           Tag("AffiliateID", "42") + Tag("AppHelpURL", "http://help.example/a b") +
           Tag("Banner1", "top.jpg^http://banner.example/"));
  QImage picture(30, 10, QImage::Format_RGB32);
  picture.fill(Qt::red);
  picture.save(QString::fromStdString(program_.File("banner1.dat").string()), "JPG");
  TfrmMain& window = OpenWindow();
  window.show();

  Child<QToolButton>(&window, "btnHelp")->click();
  EXPECT_EQ(Opened(), "http://help.example/a b");
  Child<QPushButton>(&window, "btnMakeMoney")->click();
  EXPECT_EQ(Opened(), "http://aff.example/?a=1&id=42");
  auto* banner = Child<BannerLabel>(&window, "imgBanner");
  ASSERT_TRUE(banner->isVisible());
  QTest::mouseClick(banner, Qt::LeftButton);
  EXPECT_EQ(Opened(), "http://banner.example/");
  window.gifBannerClick();
  EXPECT_EQ(Opened(), "http://banner.example/");

  // The banner is a stop of the Tab order, and Enter opens it too.
  banner->setFocus();
  EXPECT_TRUE(banner->focusPolicy() & Qt::TabFocus);
  QTest::keyClick(banner, Qt::Key_Return);
  EXPECT_EQ(Opened(), "http://banner.example/");
}

TEST_F(OutboundLinksTest, LinksAndWelcomePageLinksTakeTheSameRoute) {
  Settings(Tag("Welcome1", "<p><a href='http://w.example/'>in</a></p>") +
           Tag("Link1", "Tools^www.tools.example/x?a=1") +
           Tag("Link2", "Shop^https://shop.example/"));
  TfrmMain& window = OpenWindow();
  window.show();
  // Links in the welcome page: web addresses only, never a file or
  // another scheme's handler.
  auto* page = Child<QTextBrowser>(&window, "prfWelcome");
  struct PageLink {
    const char* href;
    std::optional<std::string> opened;
  };
  const PageLink pageLinks[] = {
      {"http://w.example/a?b=c d", "http://w.example/a?b=c%20d"},
      {"HTTPS://w.example/", "https://w.example/"},
      {"file:///etc/passwd", std::nullopt},
      {"welcome2.html", std::nullopt},
      {"mailto:someone@example.com", std::nullopt},
      {"javascript:alert(1)", std::nullopt},
  };
  for (const PageLink& link : pageLinks) {
    SCOPED_TRACE(link.href);
    emit page->anchorClicked(QUrl(QString::fromLatin1(link.href)));
    EXPECT_EQ(Opened(link.opened ? std::chrono::seconds(10) : std::chrono::milliseconds(300)),
              link.opened);
    EXPECT_EQ(page->source(), QUrl()) << "the page itself follows no link";
  }
  Child<QPushButton>(&window, "btnThanks")->click();
  // The link bar: the desktop's browser too, a brand address without a
  // scheme read as a web address.
  // (The brand's two links stand in a random order.)
  std::set<std::optional<std::string>> opened;
  QTest::mouseClick(Child<LinkLabel>(&window, "lblLink1URL"), Qt::LeftButton);
  opened.insert(Opened());
  QTest::mouseClick(Child<LinkLabel>(&window, "lblLink2URL"), Qt::LeftButton);
  opened.insert(Opened());
  EXPECT_EQ(opened, (std::set<std::optional<std::string>>{"http://www.tools.example/x?a=1",
                                                          "https://shop.example/"}));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(OutboundLinksTest, EmptyAddressesStillStartTheBrowserButABannerWithoutOneDoesNot) {
  Settings(Tag("ApplicationName", "Acme") + Tag("Banner1", "top.jpg"));
  QImage picture(30, 10, QImage::Format_RGB32);
  picture.fill(Qt::red);
  picture.save(QString::fromStdString(program_.File("banner1.dat").string()), "JPG");
  TfrmMain& window = OpenWindow();
  window.show();

  Child<QToolButton>(&window, "btnHelp")->click();
  EXPECT_EQ(Opened(), "");
  Child<QPushButton>(&window, "btnMakeMoney")->click();
  EXPECT_EQ(Opened(), "");
  QTest::mouseClick(Child<BannerLabel>(&window, "imgBanner"), Qt::LeftButton);
  window.gifBannerClick();
  EXPECT_EQ(Opened(std::chrono::milliseconds(300)), std::nullopt);
}

// On a desktop without a browser every address the program would open is
// shown to the user instead, to take to a browser by hand.
class WithoutABrowserTest : public AboutWindowTest {
 protected:
  void SetUp() override {
    if (FakeBrowser::OfThisProcess(FakeBrowser::Kind::kNone) == nullptr)
      GTEST_SKIP() << "needs a process of its own";
  }
};

TEST_F(WithoutABrowserTest, EveryAddressIsShownWithItsCopyButton) {
  Settings(Tag("AffiliateURL", "http://aff.example/?id=%%AFFILIATEID%%") + Tag("AffiliateID", "7") +
           Tag("AppHelpURL", "http://help.example/") +
           Tag("Banner1", "top.jpg^http://banner.example/") +
           Tag("Link1", "Tools^www.tools.example/x") + Tag("Link2", "Shop^https://shop.example/"));
  QImage picture(30, 10, QImage::Format_RGB32);
  picture.fill(Qt::red);
  picture.save(QString::fromStdString(program_.File("banner1.dat").string()), "JPG");
  TfrmMain& window = OpenWindow();
  window.show();
  // The brand's links are placed in a random order: each label's address
  // follows from the caption it shows.
  const auto linkAddress = [&](const char* label) -> std::string {
    return Child<LinkLabel>(&window, label)->text() == "Tools" ? "http://www.tools.example/x"
                                                               : "https://shop.example/";
  };
  struct Case {
    const char* control;
    std::function<void()> click;
    std::string address;
  };
  const Case cases[] = {
      {"Help", [&] { Child<QToolButton>(&window, "btnHelp")->click(); }, "http://help.example/"},
      {"Make Money", [&] { Child<QPushButton>(&window, "btnMakeMoney")->click(); },
       "http://aff.example/?id=7"},
      {"banner",
       [&] { QTest::mouseClick(Child<BannerLabel>(&window, "imgBanner"), Qt::LeftButton); },
       "http://banner.example/"},
      {"left link",
       [&] { QTest::mouseClick(Child<LinkLabel>(&window, "lblLink1URL"), Qt::LeftButton); },
       linkAddress("lblLink1URL")},
      {"right link",
       [&] { QTest::mouseClick(Child<LinkLabel>(&window, "lblLink2URL"), Qt::LeftButton); },
       linkAddress("lblLink2URL")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    MessageBox::ResetTestState();
    MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
    c.click();
    ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
    const MessageBox::Shown& box = MessageBox::ShownBoxes()[0];
    EXPECT_EQ(box.kind, MessageBox::Kind::Address);
    EXPECT_EQ(box.text,
              "No web browser is set up on this computer. Open this address in a browser:");
    EXPECT_EQ(box.address, c.address);
  }
}

}  // namespace
