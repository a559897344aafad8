// Every window at ordinary desktop fonts (DejaVu Sans and GNOME's
// Cantarell at 11 points) shows every caption whole: no button, label,
// radio button, panel or column caption whose text is wider or taller than
// the control, and no control pushed out of its window. CTest runs this
// program twice: at 1x and at 1.5x (QT_SCALE_FACTOR).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTreeView>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/ElidingLabel.h"
#include "app/ui/FAbout.h"
#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "keywords/ui/FAddKeywords.h"
#include "keywords/ui/FCaptcha.h"
#include "keywords/ui/FMainKeyword.h"
#include "keywords/ui/FSelectSearch.h"
#include "publisher/NewsService.h"
#include "publisher/ui/FNews.h"
#include "support/FakeFetchHost.h"
#include "support/MainWindowFixture.h"
#include "support/ModalDialogs.h"
#include "support/SettingsText.h"
#include "web/HttpClient.h"

using namespace quorvane;

namespace {

std::string Name(const QWidget* w) {
  return w->objectName().isEmpty() ? std::string(w->metaObject()->className())
                                   : w->objectName().toStdString();
}

// What of `w`'s text does not fit it, or nothing.
std::string Clipped(const QWidget* w) {
  if (auto* button = qobject_cast<const QPushButton*>(w)) {
    if (button->text().isEmpty()) return {};
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (button->autoDefault() || button->isDefault())
      option.features |= QStyleOptionButton::AutoDefaultButton;
    const QRect area =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (text.width() > area.width() || text.height() > area.height())
      return "caption " + std::to_string(text.width()) + "x" + std::to_string(text.height()) +
             " in " + std::to_string(area.width()) + "x" + std::to_string(area.height());
    return {};
  }
  if (auto* radio = qobject_cast<const QRadioButton*>(w)) {
    QStyleOptionButton option;
    option.initFrom(radio);
    option.text = radio->text();
    const QRect area =
        radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
    const int text = radio->fontMetrics().horizontalAdvance(radio->text());
    if (text > area.width())
      return "caption " + std::to_string(text) + " in " + std::to_string(area.width());
    return {};
  }
  if (auto* eliding = qobject_cast<const ElidingLabel*>(w)) {
    // Its end may give way to an ellipsis; the part it keeps must show.
    const int kept = eliding->fontMetrics().horizontalAdvance(eliding->KeptText() + QChar(0x2026));
    if (kept > eliding->contentsRect().width())
      return "\"" + eliding->KeptText().toStdString() + "\" " + std::to_string(kept) + " wide in " +
             std::to_string(eliding->contentsRect().width());
    return {};
  }
  if (auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText) return {};
    const int margin = 2 * (label->margin() + std::max(label->indent(), 0));
    const QRect area = label->contentsRect().adjusted(0, 0, -margin, 0);
    if (label->wordWrap()) {
      const int needed = label->heightForWidth(label->width());
      if (needed > label->height())
        return "wrapped text " + std::to_string(needed) + " high in " +
               std::to_string(label->height());
      return {};
    }
    const QSize text = label->fontMetrics().size(
        label->buddy() != nullptr ? Qt::TextShowMnemonic : 0, label->text());
    // A status text may run longer than its panel; it is cut, never the
    // window widened. Every other label shows its text whole.
    if (label->objectName() != "MainStatusPanel" && text.width() > area.width())
      return "text " + std::to_string(text.width()) + " wide in " + std::to_string(area.width());
    if (text.height() > area.height() + 1)
      return "text " + std::to_string(text.height()) + " high in " + std::to_string(area.height());
    return {};
  }
  if (auto* header = qobject_cast<const QHeaderView*>(w)) {
    if (header->orientation() != Qt::Horizontal) return {};
    for (int s = 0; s < header->count(); ++s) {
      if (header->isSectionHidden(s)) continue;
      const QString caption = header->model()->headerData(s, Qt::Horizontal).toString();
      if (caption.isEmpty()) continue;
      if (header->sectionSizeHint(s) > header->sectionSize(s))
        return "caption \"" + caption.toStdString() + "\" needs " +
               std::to_string(header->sectionSizeHint(s)) + " in " +
               std::to_string(header->sectionSize(s));
    }
  }
  return {};
}

// Every visible control of `window` whose text does not fit, or that
// stands outside the window.
std::vector<std::string> Faults(QWidget* window) {
  std::vector<std::string> faults;
  const QRect inside = window->rect();
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window) || w->isWindow()) continue;
    if (const std::string clipped = Clipped(w); !clipped.empty())
      faults.push_back(Name(w) + ": " + clipped);
    const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
    if (qobject_cast<QAbstractButton*>(w) != nullptr && !inside.contains(at))
      faults.push_back(Name(w) + ": outside its window");
  }
  return faults;
}

struct Font {
  const char* family;
  int points;
};

class TextFitTest : public MainWindowFixture, public ::testing::WithParamInterface<Font> {
 protected:
  void SetUp() override {
    if (!QFontDatabase::families().contains(QLatin1String(GetParam().family)))
      FAIL() << GetParam().family << " is not installed (scripts/bootstrap installs it)";
    desktop_ = QApplication::font();
    QFont font(QLatin1String(GetParam().family));
    font.setPointSize(GetParam().points);
    QApplication::setFont(font);
  }
  void TearDown() override { QApplication::setFont(desktop_); }

  void Check(QWidget* window, const char* what) {
    SCOPED_TRACE(what);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(Faults(window), std::vector<std::string>{});
  }

  QFont desktop_;
};

TEST_P(TextFitTest, TheMainWindow) {
  Settings(Tag("ApplicationName", "Acme Keyword Finder") + Tag("MakeMoneyButton", "Earn Money") +
           Tag("Welcome1", "<p>Welcome</p>") + Tag("Link1", "Our other tools^www.example.com") +
           Tag("Link2", "Help and support^www.example.com/help"));
  TfrmMain& window = OpenWindow();
  Check(&window, "welcome page");
  window.btnThanksClick();
  window.Results().AppendKeywords(std::vector<NewKeyword>(12345, {"golf clubs", "1,234,567"}));
  window.ShowItemCount();
  window.ShowMainStatus("Process completed sucessfull!");
  window.RunBegins(12345);
  window.RunRowsDone(370);
  Check(&window, "main page during a run");
  window.RunEnds();
  Check(&window, "main page after a stopped run");
  window.findChild<QAction*>("actFilter")->trigger();
  Check(&window, "filter open");
}

TEST_P(TextFitTest, TheDialogs) {
  TfrmMain& window = OpenWindow();
  BrandSettings brand;
  brand.ApplicationName = "Acme Keyword Finder";
  brand.CopyrightYears = "2008-2026";
  brand.CopyrightCompany = "Acme Software Ltd.";
  brand.AboutText = "Finds the keywords your customers search for.\r\nVisit us online.";
  FakeFetchHost host;
  HttpClient client(host);
  NewsService news(client, window.msgMain(), window.Brand());
  const std::vector<std::string> items = {"5^Spring offers for every golfer^2024-01-01"};
  struct Case {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> open;
  };
  const Case cases[] = {
      {"About", [&] { return std::make_unique<TfrmAbout>(brand, &window); }},
      {"Main Keyword",
       [&] { return std::make_unique<TfrmMainKeyword>(window.msgMain(), &window); }},
      {"Enter Keyword(s)",
       [&] { return std::make_unique<TfrmAddKeywords>(window.msgMain(), &window); }},
      {"Security image", [&] { return std::make_unique<TfrmCaptcha>(window.msgMain(), &window); }},
      {"Select Search Type", [&] { return std::make_unique<TfrmSelSearch>(&window); }},
      {"News",
       [&] {
         return std::make_unique<TfrmNews>(
             items, news, [](const std::string&) {}, &window);
       }},
  };
  for (const Case& c : cases) {
    const std::unique_ptr<QWidget> dialog = c.open();
    Check(dialog.get(), c.name);
  }
}

TEST_P(TextFitTest, TheMessageBoxes) {
  TfrmMain& window = OpenWindow();
  MessageBox boxes(&window);
  const std::vector<std::function<void()>> shows = {
      [&] { boxes.Confirm("Are you sure do you want to delete the selected keywords?"); },
      [&] {
        boxes.ShowAddress(
            "No web browser is set up on this computer. Open this address in a "
            "browser:",
            "http://www.example.com/help/index.html");
      },
  };
  for (const auto& show : shows) {
    bool seen = false;
    WhenModalOpens([&](QWidget* box) {
      seen = true;
      EXPECT_EQ(Faults(box), std::vector<std::string>{});
      qobject_cast<QMessageBox*>(box)->done(0);
    });
    show();
    EXPECT_TRUE(seen);
  }
}

INSTANTIATE_TEST_SUITE_P(Fonts, TextFitTest,
                         ::testing::Values(Font{"DejaVu Sans", 11}, Font{"Cantarell", 11}),
                         [](const ::testing::TestParamInfo<Font>& info) {
                           std::string name = info.param.family;
                           std::erase(name, ' ');
                           return name + std::to_string(info.param.points);
                         });

}  // namespace
