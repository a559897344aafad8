// The About window and the outbound links of the main window, on real
// windows under the offscreen platform. The links start a fake browser
// registered in a desktop of the test's own.
#include "app/ui/FAbout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "app/ui/BannerLabel.h"
#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "settings/ContainerFile.h"
#include "settings/SettingsFile.h"
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

// --- Outbound links

const char* const kXdg[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME",       "XDG_CONFIG_DIRS",
                            "XDG_DATA_DIRS",   "XDG_CURRENT_DESKTOP", "RECORD_FILE"};

class OutboundLinksTest : public AboutWindowTest {
 protected:
  // The desktop library reads the XDG folders once per process, so only
  // the first desktop set up in a process is seen (CTest runs each case
  // in a process of its own).
  void SetUp() override {
    static int desktops = 0;
    if (++desktops > 1) GTEST_SKIP() << "needs a process of its own";
  }

  OutboundLinksTest() {
    for (const char* name : kXdg) unsetenv(name);
    setenv("XDG_CONFIG_HOME", desktop_.File("config").c_str(), 1);
    setenv("XDG_DATA_HOME", desktop_.File("data").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", desktop_.File("none").c_str(), 1);
    setenv("XDG_DATA_DIRS", desktop_.File("none").c_str(), 1);
    setenv("RECORD_FILE", desktop_.File("record").c_str(), 1);
    fs::create_directories(desktop_.File("config"));
    fs::create_directories(desktop_.File("data/applications"));
    desktop_.Write("browser",
                   "#!/bin/sh\nprintf '%s' \"$1\" > \"$RECORD_FILE.tmp\"\n"
                   "mv \"$RECORD_FILE.tmp\" \"$RECORD_FILE\"\n");
    fs::permissions(desktop_.File("browser"), fs::perms::owner_all);
    desktop_.Write("config/mimeapps.list",
                   "[Default Applications]\nx-scheme-handler/http=fake.desktop\n");
    desktop_.Write(
        "data/applications/fake.desktop",
        "[Desktop Entry]\nType=Application\nExec=" + desktop_.File("browser").string() + " %u\n");
  }
  ~OutboundLinksTest() override {
    for (const char* name : kXdg) unsetenv(name);
  }

  // The address the browser was started with; nullopt when it was not
  // started within `wait`.
  std::optional<std::string> Opened(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
      if (desktop_.Exists("record")) {
        std::string address = desktop_.Read("record");
        fs::remove(desktop_.File("record"));
        return address;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
  }

  TempFolder desktop_;
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

TEST_F(OutboundLinksTest, WithoutARegisteredBrowserNothingHappens) {
  fs::remove(desktop_.File("config/mimeapps.list"));
  Settings(Tag("AppHelpURL", "http://help.example/"));
  TfrmMain& window = OpenWindow();
  Child<QToolButton>(&window, "btnHelp")->click();
  Child<QPushButton>(&window, "btnMakeMoney")->click();
  EXPECT_EQ(Opened(std::chrono::milliseconds(300)), std::nullopt);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

}  // namespace
