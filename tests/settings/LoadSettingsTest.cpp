// The brand settings applied to a real main window: encrypted settings and
// picture files in a temporary program folder, under the offscreen platform.
#include "settings/LoadBrand.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QImage>
#include <QMovie>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/ui/BannerLabel.h"
#include "app/ui/FMain.h"
#include "app/ui/LinkLabel.h"
#include "base/ui/MessageBox.h"
#include "settings/ContainerFile.h"
#include "settings/SettingsFile.h"
#include "support/MainWindowFixture.h"
#include "support/PictureBytes.h"
#include "support/SettingsText.h"
#include "support/TempFolder.h"
#include "support/TinyGif.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

std::string Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::magenta);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "ICO");
  return bytes.toStdString();
}

// Loads the brand settings of the program folder into the window, as its
// creation does.
void LoadSettings(TfrmMain& window, const IndexChooser& choose) {
  if (const auto brand = LoadBrand(choose)) window.ApplyBrand(*brand);
}

class LoadSettingsTest : public MainWindowFixture {
 protected:
  void Settings(const std::string& text, std::string_view password = kSettingsPassword) {
    scratch_.Write("settings.txt", text);
    EncryptContainerFile(scratch_.File("settings.txt"), program_.File("dbsettings.dat"), password);
  }

  std::set<std::string> ProgramFiles() const { return program_.Entries(); }

  template <class Widget>
  static Widget* Find(TfrmMain& window, const char* name) {
    return Child<Widget>(&window, name);
  }

  TempFolder scratch_;
};

TEST_F(LoadSettingsTest, ABrandedFolderRenamesAndFillsTheWindow) {
  const std::string welcome = "<html>\r\n<body><h1>Welcome to Acme</h1></body>\r\n</html>";
  Settings(Tag("ApplicationName", "Acme Finder") + Tag("BranderType", "Gold") +
           Tag("GoldNewsBaseURL", "http://news.example/") + Tag("GoldPublID", "3") +
           Tag("MakeMoneyButton", "Earn") + Tag("AboutText", "About") + Tag("Welcome1", welcome) +
           Tag("Banner1", "top.jpg^http://banner.example/") +
           Tag("Link1", "One^http://one.example/") + Tag("Link2", "Two^http://two.example/") +
           "<%%LastNewsId%%>5<%%/LastNewsId%%>\r\n");
  program_.Write("banner1.dat", PictureBytes("JPG", 50, 16));
  const std::string skin = "QPushButton { color: rgb(1, 2, 3); }";
  program_.Write("mainskin.dat", skin);
  program_.Write("main.ico", Icon(32));
  const auto filesBefore = ProgramFiles();

  TfrmMain& window = OpenWindow(WindowOptions().WithStartUpTick());
  EXPECT_EQ(window.windowTitle(), "Acme Finder v2.0");
  EXPECT_EQ(window.Brand().ApplicationName, "Acme Finder");
  EXPECT_EQ(window.Brand().IconFile, "main.ico");
  EXPECT_FALSE(Find<QToolButton>(window, "btnNews")->isHidden());
  EXPECT_EQ(Find<QPushButton>(window, "btnMakeMoney")->text(), "Earn");

  auto* still = Find<BannerLabel>(window, "imgBanner");
  auto* animated = Find<BannerLabel>(window, "gifBanner");
  EXPECT_FALSE(Find<QWidget>(window, "panBanner")->isHidden());
  EXPECT_EQ(Find<QWidget>(window, "panBanner")->height(), 26);
  EXPECT_FALSE(still->isHidden());
  EXPECT_TRUE(animated->isHidden());
  EXPECT_EQ(still->pixmap().size(), QSize(50, 16));
  EXPECT_EQ(still->size(), QSize(50, 16));
  EXPECT_EQ(still->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(animated->cursor().shape(), Qt::PointingHandCursor);

  EXPECT_FALSE(Find<QWidget>(window, "panLinks")->isHidden());
  auto* link1 = Find<LinkLabel>(window, "lblLink1URL");
  auto* link2 = Find<LinkLabel>(window, "lblLink2URL");
  const std::set<std::string> shown = {link1->text().toStdString() + " " + link1->Address(),
                                       link2->text().toStdString() + " " + link2->Address()};
  EXPECT_EQ(shown, (std::set<std::string>{"One http://one.example/", "Two http://two.example/"}));

  EXPECT_EQ(qApp->styleSheet().toStdString(), skin);
  EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));
  EXPECT_EQ(ProgramFiles(), filesBefore) << "no working copy left, no banner renamed";

  // The welcome page comes first; Thanks leads on and only then starts the timer.
  EXPECT_FALSE(window.Timer1().isActive());
  window.show();
  auto* pages = Find<QStackedWidget>(window, "pgcPrinc");
  ASSERT_EQ(pages->currentWidget()->objectName(), "stsWelcome");
  EXPECT_EQ(Find<QTextBrowser>(window, "prfWelcome")->toPlainText().trimmed(), "Welcome to Acme");
  Find<QPushButton>(window, "btnThanks")->click();
  EXPECT_EQ(pages->currentWidget()->objectName(), "stsMain");
  EXPECT_TRUE(window.Timer1().isActive());
}

struct WindowCase {
  const char* name;
  std::string text;
  std::vector<int> answers;  // the random choices, in draw order
  std::function<void(TfrmMain&)> check;
};

TEST_F(LoadSettingsTest, ReadsTheValuesAsWrittenInTheFile) {
  const auto news = [](TfrmMain& w) { return !Find<QToolButton>(w, "btnNews")->isHidden(); };
  const auto masterValues =
      Tag("MasterNewsBaseURL", "http://news.example/") + Tag("MasterPublID", "1");
  const std::vector<WindowCase> cases = {
      {"welcome family ends at its first gap",
       Tag("Welcome1", "one") + Tag("Welcome2", "two") + Tag("Welcome4", "four"),
       {1},
       [](TfrmMain& w) { EXPECT_EQ(w.Brand().WelcomePage, "two"); }},
      {"a tag before an earlier value's end is not seen",
       Tag("AboutText", "early") + Tag("ApplicationName", "Name") + Tag("CopyrightYears", "2007"),
       {},
       [](TfrmMain& w) {
         EXPECT_EQ(w.Brand().AboutText, "");
         EXPECT_EQ(w.windowTitle(), "Name v2.0");
         EXPECT_EQ(w.Brand().CopyrightYears, "2007");
       }},
      {"lower-case tags",
       "<%%applicationname%%>Lower<%%/applicationname%%>\r\n",
       {},
       [](TfrmMain& w) { EXPECT_EQ(w.windowTitle(), "Lower v2.0"); }},
      {"affiliate id put in",
       Tag("AffiliateURL", "http://a.example/?id=%%AFFILIATEID%%") + Tag("AffiliateID", "42"),
       {},
       [](TfrmMain& w) { EXPECT_EQ(w.Brand().AffiliateURL, "http://a.example/?id=42"); }},
      {"affiliate placeholder in lower case stays",
       Tag("AffiliateURL", "http://a.example/?id=%%affiliateid%%") + Tag("AffiliateID", "42"),
       {},
       [](TfrmMain& w) {
         EXPECT_EQ(w.Brand().AffiliateURL, "http://a.example/?id=%%affiliateid%%");
       }},
      {"empty affiliate id removes the placeholder",
       Tag("AffiliateURL", "http://a.example/?id=%%AFFILIATEID%%"),
       {},
       [](TfrmMain& w) { EXPECT_EQ(w.Brand().AffiliateURL, "http://a.example/?id="); }},
      {"master in lower case hides News",
       Tag("BranderType", "master") + masterValues,
       {},
       [&](TfrmMain& w) { EXPECT_FALSE(news(w)); }},
      {"Free with the Master values shows News",
       Tag("BranderType", "Free") + masterValues,
       {},
       [&](TfrmMain& w) { EXPECT_TRUE(news(w)); }},
      {"one link only",
       Tag("Link1", "Only^http://only.example/"),
       {},
       [](TfrmMain& w) {
         EXPECT_FALSE(Find<QWidget>(w, "panLinks")->isHidden());
         EXPECT_EQ(Find<LinkLabel>(w, "lblLink1URL")->text(), "Only");
         EXPECT_EQ(Find<LinkLabel>(w, "lblLink1URL")->Address(), "http://only.example/");
         EXPECT_EQ(Find<LinkLabel>(w, "lblLink2URL")->text(), "");
         EXPECT_EQ(Find<LinkLabel>(w, "lblLink2URL")->Address(), "");
       }},
      {"a first link without caption hides the bar",
       Tag("Link1", "^http://one.example/") + Tag("Link2", "Two^http://two.example/"),
       {0, 0},
       [](TfrmMain& w) {
         EXPECT_TRUE(Find<QWidget>(w, "panLinks")->isHidden());
         EXPECT_EQ(Find<LinkLabel>(w, "lblLink2URL")->text(), "Two");
       }},
      {"values keep spaces and line breaks",
       Tag("ApplicationName", "  Acme  ") + Tag("MakeMoneyButton", " Earn ") +
           Tag("AboutText", "\r\n line one\nline two "),
       {},
       [](TfrmMain& w) {
         EXPECT_EQ(w.windowTitle(), "  Acme   v2.0");
         EXPECT_EQ(w.Brand().AboutText, "\r\n line one\r\nline two ");
         EXPECT_EQ(Find<QPushButton>(w, "btnMakeMoney")->text(), " Earn ");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TfrmMain& window = OpenWindow();  // made before the file exists: the design-time state
    Settings(c.text);
    std::size_t draw = 0;
    LoadSettings(window, [&](int) { return draw < c.answers.size() ? c.answers[draw++] : 0; });
    EXPECT_EQ(draw, c.answers.size());
    c.check(window);
  }
}

TEST_F(LoadSettingsTest, AGifBannerAnimatesInItsOwnControl) {
  Settings(Tag("Banner1", "a.jpg^http://a.example/") + Tag("Banner2", "b.jpg^http://b.example/") +
           Tag("Banner3", "pictures/top.GIF^http://c.example/"));
  program_.Write("banner1.dat", PictureBytes("JPG", 10, 10));
  program_.Write("banner3.dat", TinyGif(40, 20, 2).toStdString());
  TfrmMain& window = OpenWindow();
  LoadSettings(window, [](int count) { return count - 1; });

  auto* still = Find<BannerLabel>(window, "imgBanner");
  auto* animated = Find<BannerLabel>(window, "gifBanner");
  EXPECT_TRUE(still->isHidden());
  EXPECT_FALSE(animated->isHidden());
  ASSERT_NE(animated->movie(), nullptr);
  EXPECT_EQ(animated->movie()->state(), QMovie::Running);
  EXPECT_EQ(animated->movie()->frameCount(), 2);
  EXPECT_EQ(animated->size(), QSize(40, 20));
  EXPECT_EQ(Find<QWidget>(window, "panBanner")->height(), 30);
  EXPECT_EQ(window.Brand().BannerImage, "pictures/top.GIF");
  EXPECT_EQ(window.Brand().BannerURL, "http://c.example/");
  EXPECT_EQ(ProgramFiles(),
            (std::set<std::string>{"banner1.dat", "banner3.dat", "dbsettings.dat"}));
}

TEST_F(LoadSettingsTest, ABannerThatCannotBeShownHidesTheStrip) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"missing file", Tag("Banner1", "top.jpg^http://x.example/")},
      {"no picture name", Tag("Banner1", "^http://x.example/")},
      {"not a picture", Tag("Banner2", "ok.jpg^http://y.example/")},
      {"not a gif", Tag("Banner2", "ok.gif^http://y.example/")},
  };
  program_.Write("banner2.dat", "this is no picture");
  for (const auto& [name, text] : cases) {
    SCOPED_TRACE(name);
    TfrmMain& window = OpenWindow();
    // Banner1 stands first in every file, so only Banner2's cases need it
    // to be present: a gap would end the family.
    Settings(std::string(name).starts_with("not") ? Tag("Banner1", "x^") + text : text);
    LoadSettings(window, [](int count) { return count - 1; });
    EXPECT_TRUE(Find<QWidget>(window, "panBanner")->isHidden());
    // The address is set all the same, so the pointer says so.
    EXPECT_EQ(Find<BannerLabel>(window, "imgBanner")->cursor().shape(), Qt::PointingHandCursor);
  }
}

TEST_F(LoadSettingsTest, ABannerWithoutAddressKeepsTheNormalPointer) {
  Settings(Tag("Banner1", "top.jpg"));
  program_.Write("banner1.dat", PictureBytes("JPG", 20, 8));
  TfrmMain& window = OpenWindow();
  EXPECT_FALSE(Find<QWidget>(window, "panBanner")->isHidden());
  EXPECT_EQ(Find<BannerLabel>(window, "imgBanner")->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(Find<BannerLabel>(window, "gifBanner")->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LoadSettingsTest, AFileUnderAnotherPasswordLeavesTheBrandEmpty) {
  Settings(Tag("ApplicationName", "Acme") + Tag("Welcome1", "hi") + Tag("Link1", "L^http://l/") +
               Tag("Banner1", "top.jpg^http://b/"),
           "not the settings password");
  program_.Write("banner1.dat", PictureBytes("JPG", 20, 8));
  program_.Write("mainskin.dat", "QLabel { color: rgb(9, 9, 9); }");
  program_.Write("main.ico", Icon(16));

  TfrmMain& window = OpenWindow(WindowOptions().WithStartUpTick());
  EXPECT_EQ(window.windowTitle(), " v2.0");
  EXPECT_TRUE(Find<QToolButton>(window, "btnNews")->isHidden());
  EXPECT_EQ(Find<QPushButton>(window, "btnMakeMoney")->text(), "Make Money");
  EXPECT_TRUE(Find<QWidget>(window, "panBanner")->isHidden());
  EXPECT_TRUE(Find<QWidget>(window, "panLinks")->isHidden());
  EXPECT_EQ(window.Brand().WelcomePage, "");
  EXPECT_TRUE(window.Timer1().isActive()) << "no welcome page";
  EXPECT_EQ(qApp->styleSheet(), "QLabel { color: rgb(9, 9, 9); }");
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_FALSE(program_.Exists("dbsettings.sim"));
}

TEST_F(LoadSettingsTest, WithoutASettingsFileSkinAndIconAreNotLookedFor) {
  program_.Write("mainskin.dat", "QLabel { color: rgb(9, 9, 9); }");
  program_.Write("main.ico", Icon(16));
  TfrmMain& window = OpenWindow();
  EXPECT_EQ(window.windowTitle(), "Quorvane");
  EXPECT_EQ(qApp->styleSheet(), "");
  EXPECT_TRUE(QApplication::windowIcon().isNull());
  EXPECT_EQ(Find<LinkLabel>(window, "lblLink1URL")->text(), "Google");
}

TEST_F(LoadSettingsTest, AWorkingCopyThatCannotBeMadeIsReportedAndTheWindowStillOpens) {
  Settings(Tag("ApplicationName", "Acme") + Tag("Welcome1", "hi"));
  program_.Write("mainskin.dat", "QLabel { color: rgb(9, 9, 9); }");
  fs::create_directories(program_.File("dbsettings.sim") / "in the way");
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);

  TfrmMain& window = OpenWindow(WindowOptions().WithStartUpTick());
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, MessageBox::Kind::Warning);
  EXPECT_NE(MessageBox::ShownBoxes()[0].text.find("dbsettings.sim"), std::string::npos)
      << MessageBox::ShownBoxes()[0].text;
  EXPECT_EQ(window.windowTitle(), "Quorvane");
  EXPECT_EQ(qApp->styleSheet(), "");
  EXPECT_TRUE(window.Timer1().isActive()) << "creation went on after the error";
  window.show();
  EXPECT_TRUE(window.isVisible());
}

}  // namespace
