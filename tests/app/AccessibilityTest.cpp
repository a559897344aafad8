// Every window as assistive technology sees it, through Qt's accessibility
// interfaces: the name and role of each control, the status bar with its
// panels, the link labels' press action, and the Tab order that reaches
// every command.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>

#include <QAccessible>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/ui/FAbout.h"
#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "keywords/ui/FAddKeywords.h"
#include "keywords/ui/FCaptcha.h"
#include "keywords/ui/FMainKeyword.h"
#include "keywords/ui/FSelectSearch.h"
#include "publisher/NewsService.h"
#include "publisher/ui/FNews.h"
#include "publisher/ui/NewsBalloon.h"
#include "publisher/ui/PublisherServices.h"
#include "settings/SettingsFile.h"
#include "support/FakeBrowser.h"
#include "support/FakeFetchHost.h"
#include "support/MainWindowFixture.h"
#include "support/ModalDialogs.h"
#include "support/SettingsText.h"
#include "web/HttpClient.h"

using namespace quorvane;

namespace {

using Role = QAccessible::Role;

// One node of a window's accessible tree.
struct Node {
  QAccessibleInterface* iface;
  QString objectName;
  Role role;
  QString name;
  Role parentRole;
};

// The accessible tree below `window`, as a screen reader walks it. The
// cells of tables and trees are left out: their names are their texts.
std::vector<Node> Tree(QWidget* window) {
  std::vector<Node> nodes;
  std::function<void(QAccessibleInterface*, Role)> walk = [&](QAccessibleInterface* iface,
                                                              Role parentRole) {
    if (iface == nullptr || !iface->isValid()) return;
    const QObject* object = iface->object();
    nodes.push_back({iface, object ? object->objectName() : QString(), iface->role(),
                     iface->text(QAccessible::Name), parentRole});
    if (iface->role() == QAccessible::Table || iface->role() == QAccessible::Tree) return;
    for (int i = 0; i < iface->childCount(); ++i) walk(iface->child(i), iface->role());
  };
  walk(QAccessible::queryAccessibleInterface(window), QAccessible::NoRole);
  return nodes;
}

struct Expected {
  const char* objectName;
  Role role;
  QString name;
};

// Roles of things a person operates or reads as one piece; each must have
// a name to be told apart. Containers, plain texts (their text is their
// name) and the scroll bars of a scroll area are not in it.
bool IsControl(Role role) {
  switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Link:
    case QAccessible::Graphic:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::ProgressBar:
    case QAccessible::StatusBar:
    case QAccessible::Grip:
    case QAccessible::Notification:
    case QAccessible::Document:
      return true;
    default:
      return false;
  }
}

// Roles of controls a person operates: each must take the keyboard focus.
bool IsOperated(Role role) {
  switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Link:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
      return true;
    default:
      return false;
  }
}

// Checks the named controls, that no visible control is nameless and that
// the keyboard reaches every one a person operates.
void CheckWindow(QWidget* window, const std::vector<Expected>& expected) {
  SCOPED_TRACE(window->objectName().toStdString());
  ASSERT_TRUE(window->isVisible());
  const std::vector<Node> nodes = Tree(window);
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.objectName);
    const auto it = std::find_if(nodes.begin(), nodes.end(),
                                 [&](const Node& n) { return n.objectName == e.objectName; });
    ASSERT_NE(it, nodes.end()) << "not in the accessible tree";
    EXPECT_EQ(it->role, e.role);
    EXPECT_EQ(it->name, e.name);
  }
  for (const Node& n : nodes) {
    if (n.iface->state().invisible || !IsControl(n.role)) continue;
    EXPECT_FALSE(n.name.trimmed().isEmpty())
        << n.objectName.toStdString() << " (role 0x" << std::hex << n.role << ") has no name";
    if (IsOperated(n.role)) {
      EXPECT_TRUE(n.iface->state().focusable)
          << n.objectName.toStdString() << " cannot be reached with the keyboard";
    }
  }
}

class AccessibilityTest : public MainWindowFixture {
 protected:
  // The main window, shown, without its start-up tick.
  std::unique_ptr<TfrmMain> ShownWindow() { return NewWindow(WindowOptions().Shown()); }
};

TEST_F(AccessibilityTest, MainWindow) {
  auto window = ShownWindow();
  window->Results().AppendKeywords({{"golf clubs", "120"}});
  CheckWindow(window.get(), {
                                {"btnMainKeyword", QAccessible::Button, "Main Keyword"},
                                {"btnGatherKeyword", QAccessible::Button, "Gather Keywords"},
                                {"btnAddKeyword", QAccessible::Button, "Add Keywords"},
                                {"btnGatherData", QAccessible::Button, "Gather Data"},
                                {"btnSaveResults", QAccessible::Button, "Save Results"},
                                {"btnMakeMoney", QAccessible::Button, "Make Money"},
                                {"btnAbout", QAccessible::Button, "About"},
                                {"btnNews", QAccessible::Button, "Check News"},
                                {"btnUpdate", QAccessible::Button, "Check Updates"},
                                {"btnHelp", QAccessible::Button, "Help"},
                                {"imgBanner", QAccessible::Graphic, "Banner"},
                                {"lvwItems", QAccessible::Table, "Results"},
                                {"btnSelectAll", QAccessible::Button, "Select All"},
                                {"btnClearSelection", QAccessible::Button, "Clear Selection"},
                                {"btnDeleteSelected", QAccessible::Button, "Delete Selected"},
                                {"btnDeleteAll", QAccessible::Button, "Delete All"},
                                {"lblLink1URL", QAccessible::Link, "Google"},
                                {"lblLink2URL", QAccessible::Link, "Google"},
                                {"stbMain", QAccessible::StatusBar, "Status"},
                                {"MainKeywordPanel", QAccessible::StaticText, "Main Keyword: "},
                                {"SecondStatusPanel", QAccessible::StaticText, "0 item listed"},
                                {"MainGauge", QAccessible::ProgressBar, "Progress"},
                            });

  // The panels are the status bar's own items, not loose labels.
  const std::vector<Node> nodes = Tree(window.get());
  for (const char* panel :
       {"MainStatusPanel", "MainKeywordPanel", "SecondStatusPanel", "MainGauge"}) {
    const auto it = std::find_if(nodes.begin(), nodes.end(),
                                 [&](const Node& n) { return n.objectName == panel; });
    ASSERT_NE(it, nodes.end()) << panel;
    EXPECT_EQ(it->parentRole, QAccessible::StatusBar) << panel;
  }
  // Its texts are read as they change.
  window->ShowMainStatus("Process completed sucessfull!");
  const auto status = std::find_if(nodes.begin(), nodes.end(),
                                   [](const Node& n) { return n.objectName == "MainStatusPanel"; });
  EXPECT_EQ(status->iface->text(QAccessible::Name), "Process completed sucessfull!");

  // The table tells its column headers and cells.
  QAccessibleInterface* table =
      QAccessible::queryAccessibleInterface(window->findChild<QWidget*>("lvwItems"));
  ASSERT_NE(table->tableInterface(), nullptr);
  EXPECT_EQ(table->tableInterface()->columnCount(), 6);
  EXPECT_EQ(table->tableInterface()->cellAt(0, 1)->text(QAccessible::Name), "golf clubs");
}

TEST_F(AccessibilityTest, TheTableMenuNamesEachCommandAndItsKey) {
  auto window = ShownWindow();
  auto* table = window->findChild<QWidget*>("lvwItems");
  // The menu the Menu key opens is built from the table's actions.
  QMenu menu;
  menu.addActions(table->actions());
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&menu);
  ASSERT_NE(iface, nullptr);
  std::vector<std::pair<QString, QString>> items;
  for (int i = 0; i < iface->childCount(); ++i) {
    QAccessibleInterface* item = iface->child(i);
    if (item->role() != QAccessible::MenuItem) continue;
    items.emplace_back(item->text(QAccessible::Name), item->text(QAccessible::Accelerator));
  }
  ASSERT_GE(items.size(), 11u);
  const std::vector<std::pair<QString, QString>> expected = {
      {"Undo", "Ctrl+Z"},
      {"Redo", "Ctrl+Shift+Z"},
      {QString::fromUtf8("Open Results\u2026"), "Ctrl+O"},
      {"Open Recent", ""},
      {"Copy", "Ctrl+C"},
      {"Paste", "Ctrl+V"},
      {"Remove Duplicates", ""},
      {"Filter", "Ctrl+F"},
      {"Gather Data for Ticked Rows", ""},
      {"Gather Missing Data", ""},
      {"Sort by No", ""}};
  EXPECT_EQ(std::vector(items.begin(), items.begin() + 11), expected);
}

TEST_F(AccessibilityTest, TheRunPanelWhileARunShowsIt) {
  auto window = ShownWindow();
  window->RunBegins(1000);
  window->RunRowsDone(10);
  CheckWindow(window.get(), {{"RunProgressPanel", QAccessible::StaticText, "Run progress"}});
  const std::vector<Node> nodes = Tree(window.get());
  const auto panel = std::find_if(nodes.begin(), nodes.end(),
                                  [](const Node& n) { return n.objectName == "RunProgressPanel"; });
  ASSERT_NE(panel, nodes.end());
  EXPECT_EQ(panel->parentRole, QAccessible::StatusBar);
  window->RunEnds();
}

TEST_F(AccessibilityTest, WelcomePage) {
  Settings(Tag("ApplicationName", "Acme") + Tag("Welcome1", "<p>Hello</p>"));
  auto window = ShownWindow();
  CheckWindow(window.get(),
              {{"prfWelcome", QAccessible::StaticText, "Welcome page"},
               {"btnThanks", QAccessible::Button, "Thanks, just show me the main application"}});
}

TEST_F(AccessibilityTest, ABannerThatLeadsSomewhereIsALink) {
  Settings(Tag("Banner1", "top.jpg^http://banner.example/"));
  QImage picture(30, 10, QImage::Format_RGB32);
  picture.fill(Qt::red);
  picture.save(QString::fromStdString(program_.File("banner1.dat").string()), "JPG");
  auto window = ShownWindow();
  CheckWindow(window.get(), {{"imgBanner", QAccessible::Link, "Banner"}});
}

TEST_F(AccessibilityTest, Dialogs) {
  auto window = ShownWindow();
  {
    TfrmAbout about(window->Brand(), window.get());
    about.show();
    CheckWindow(&about, {{"lblProductVersion", QAccessible::StaticText, "Product Version: 2.0"},
                         {"memAbout", QAccessible::EditableText, "About"},
                         {"editAbout", QAccessible::Button, "Ok"}});
  }
  {
    TfrmMainKeyword dialog(window->msgMain(), window.get());
    dialog.show();
    CheckWindow(&dialog, {{"edtMainKeyword", QAccessible::EditableText,
                           "Please type the main keyword(s) Eg: golf, soccer:"},
                          {"btnOk", QAccessible::Button, "Ok"},
                          {"btnCancel", QAccessible::Button, "Cancel"}});
  }
  {
    TfrmAddKeywords dialog(window->msgMain(), window.get());
    dialog.show();
    CheckWindow(&dialog, {{"edtAddKeyword", QAccessible::EditableText,
                           "Please type keyword(s) Eg: golf, soccer:"},
                          {"edtList", QAccessible::EditableText,
                           "Or add a file with a keyword list (one group of keywords per line):"},
                          {"btnBrowse", QAccessible::Button, "Browse"},
                          {"btnOk", QAccessible::Button, "Ok"},
                          {"btnCancel", QAccessible::Button, "Cancel"}});
  }
  {
    TfrmCaptcha dialog(window->msgMain(), window.get());
    dialog.show();
    CheckWindow(&dialog, {{"imgSecurityImage", QAccessible::Graphic, "Security image"},
                          {"edtPassword", QAccessible::EditableText,
                           "Please enter the characters in the image"},
                          {"btnRefresh", QAccessible::Button, "Refresh"},
                          {"btnOk", QAccessible::Button, "Ok"},
                          {"btnCancel", QAccessible::Button, "Cancel"}});
  }
  {
    TfrmSelSearch dialog(window.get());
    dialog.show();
    CheckWindow(&dialog,
                {{"rbPrecise", QAccessible::RadioButton,
                  "Precise Search Eg: \"golf clubs\" Should appear the word in the same order."},
                 {"rbBroad", QAccessible::RadioButton,
                  "Broad Search Eg: golf clubs, any word no matther the order or position in the "
                  "text."},
                 {"btnOk", QAccessible::Button, "Ok"},
                 {"btnCancel", QAccessible::Button, "Cancel"}});
  }
}

TEST_F(AccessibilityTest, NewsWindowAndNotice) {
  auto window = ShownWindow();
  FakeFetchHost host;
  HttpClient client(host);
  NewsService news(client, window->msgMain(), window->Brand());
  const std::vector<std::string> items = {"5^Older news^2024-01-01", "9^Newer news^2024-02-02"};
  {
    TfrmNews dialog(
        items, news, [](const std::string&) {}, window.get());
    dialog.show();
    CheckWindow(&dialog, {{"lvwItems", QAccessible::Tree, "News"},
                          {"prfEditorNews", QAccessible::StaticText, "News item"},
                          {"qt_splithandle_prfEditorNews", QAccessible::Grip, "Splitter"},
                          {"btnExit", QAccessible::Button, "Close"}});
  }
  window->ShowNewsNotice("There is news for you");
  NewsBalloon* balloon = window->Publisher().Balloon();
  ASSERT_NE(balloon, nullptr);
  CheckWindow(balloon, {{"NewsBalloon", QAccessible::Notification, "There is news for you"}});
}

// The widgets that Tab visits in `window`, in order, from its first one.
std::vector<QString> TabOrder(QWidget* window) {
  std::vector<QString> names;
  QWidget* w = window;
  do {
    w = w->nextInFocusChain();
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && !w->isWindow())
      names.push_back(w->objectName());
  } while (w != window);
  return names;
}

TEST_F(AccessibilityTest, FilterFieldOnceOpened) {
  auto window = ShownWindow();
  window->Results().AppendKeywords({{"golf clubs", "120"}});
  window->Results().AppendKeywords({{"tennis", "90"}});
  window->findChild<QAction*>("actFilter")->trigger();
  auto* field = window->findChild<QLineEdit*>("edtFilter");
  field->setText(QStringLiteral("golf"));
  CheckWindow(window.get(), {
                                {"edtFilter", QAccessible::EditableText, "Filter"},
                                {"lblFilterShown", QAccessible::StaticText, "Rows shown"},
                            });
  const std::vector<Node> nodes = Tree(window.get());
  const auto count = std::find_if(nodes.begin(), nodes.end(),
                                  [](const Node& n) { return n.objectName == "lblFilterShown"; });
  ASSERT_NE(count, nodes.end());
  EXPECT_EQ(count->iface->text(QAccessible::Description), "1 of 2 rows shown");
}

TEST_F(AccessibilityTest, TabReachesEveryCommandOfTheMainWindow) {
  auto window = ShownWindow();
  const std::vector<QString> order = TabOrder(window.get());
  for (const char* command :
       {"btnMainKeyword", "btnGatherKeyword", "btnAddKeyword", "btnGatherData", "btnSaveResults",
        "btnMakeMoney", "btnAbout", "btnNews", "btnUpdate", "btnHelp", "lvwItems", "btnSelectAll",
        "btnClearSelection", "btnDeleteSelected", "btnDeleteAll", "lblLink1URL", "lblLink2URL"}) {
    EXPECT_NE(std::find(order.begin(), order.end(), command), order.end()) << command;
  }
  // A banner that leads nowhere is no stop on the way.
  EXPECT_EQ(std::find(order.begin(), order.end(), "imgBanner"), order.end());
}

TEST_F(AccessibilityTest, LinkLabelsOpenByKeyAndByPressAction) {
  FakeBrowser* browser = FakeBrowser::OfThisProcess();
  if (browser == nullptr) GTEST_SKIP() << "needs a process of its own";
  auto window = ShownWindow();
  auto* link = window->findChild<QWidget*>("lblLink1URL");
  link->setFocus();
  QTest::keyClick(link, Qt::Key_Return);
  EXPECT_EQ(browser->Opened(), "http://www.google.com/");
  QTest::keyClick(link, Qt::Key_Space);
  EXPECT_EQ(browser->Opened(), "http://www.google.com/");
  QTest::keyClick(link, Qt::Key_A);  // not a key that opens
  EXPECT_EQ(browser->Opened(std::chrono::milliseconds(300)), std::nullopt);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(link);
  ASSERT_NE(iface->actionInterface(), nullptr);
  EXPECT_TRUE(
      iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
  iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(browser->Opened(), "http://www.google.com/");
}

// --- Real keys

// Gives `window` the keyboard as a desktop does when it is clicked.
void Activate(QWidget* window) {
  QApplication::setActiveWindow(window);
  EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

// Presses Tab (or Shift+Tab) `presses` times on whatever has the focus,
// as the keyboard does, and names where the focus lands after each.
std::vector<QString> FocusAfterTabs(int presses, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  std::vector<QString> landed;
  for (int i = 0; i < presses; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
      landed.push_back("(nothing)");
      continue;
    }
    QTest::keyClick(focus, Qt::Key_Tab, modifiers);
    focus = QApplication::focusWidget();
    landed.push_back(focus != nullptr ? focus->objectName() : QStringLiteral("(nothing)"));
  }
  return landed;
}

// The focus goes round `cycle` (which starts where the focus is) with Tab,
// and the other way round with Shift+Tab.
void CheckTabCycle(const std::vector<QString>& cycle) {
  ASSERT_FALSE(cycle.empty());
  ASSERT_NE(QApplication::focusWidget(), nullptr) << "nothing has the focus";
  ASSERT_EQ(QApplication::focusWidget()->objectName(), cycle.front());
  std::vector<QString> forward(cycle.begin() + 1, cycle.end());
  forward.push_back(cycle.front());
  EXPECT_EQ(FocusAfterTabs(static_cast<int>(cycle.size())), forward) << "Tab";
  std::vector<QString> backward(cycle.rbegin(), cycle.rend());
  std::rotate(backward.begin(), backward.end() - 1, backward.end());
  backward.erase(backward.begin());
  backward.push_back(cycle.front());
  EXPECT_EQ(FocusAfterTabs(static_cast<int>(cycle.size()), Qt::ShiftModifier), backward)
      << "Shift+Tab";
}

TEST_F(AccessibilityTest, TabAndShiftTabGoRoundTheMainWindowAndLeaveTheTable) {
  auto window = ShownWindow();
  window->Results().AppendKeywords({{"golf clubs", "120"}, {"golf balls", "90"}});
  Activate(window.get());
  window->findChild<QWidget*>("btnMainKeyword")->setFocus();
  CheckTabCycle({"btnMainKeyword", "btnGatherKeyword", "btnAddKeyword", "btnGatherData",
                 "btnSaveResults", "btnMakeMoney", "btnAbout", "btnNews", "btnUpdate", "btnHelp",
                 "lvwItems", "btnSelectAll", "btnClearSelection", "btnDeleteSelected",
                 "btnDeleteAll", "lblLink1URL", "lblLink2URL"});

  // Inside the table the arrow keys move, and the focus stays.
  auto* table = window->findChild<QTableView*>("lvwItems");
  table->setFocus();
  table->setCurrentIndex(table->model()->index(0, 0));
  QTest::keyClick(table, Qt::Key_Down);
  QTest::keyClick(table, Qt::Key_Right);
  EXPECT_EQ(table->currentIndex(), table->model()->index(1, 1));
  EXPECT_EQ(QApplication::focusWidget(), table);
}

TEST_F(AccessibilityTest, ShiftF10OpensTheTablesMenuAtTheCurrentRow) {
  auto window = ShownWindow();
  window->Results().AppendKeywords({{"golf clubs", "120"}, {"golf balls", "90"}});
  Activate(window.get());
  auto* table = window->findChild<QTableView*>("lvwItems");
  table->setFocus();
  table->setCurrentIndex(table->model()->index(1, 1));
  QStringList items;
  QPoint at;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no menu opened";
    for (QAction* action : menu->actions())
      if (!action->isSeparator()) items << action->text();
    at = menu->pos();
    QTest::keyClick(menu, Qt::Key_Escape);
  });
  QTest::keyClick(table, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_FALSE(items.isEmpty()) << "Shift+F10 opened no menu";
  QCoreApplication::processEvents();
  // Undo and Redo head it, named after the step.
  EXPECT_TRUE(items.front().startsWith("Undo"));
  EXPECT_TRUE(items.contains(QString::fromUtf8("Open Results\u2026")));
  EXPECT_TRUE(items.contains("Gather Missing Data"));
  EXPECT_TRUE(items.contains("Sort by Msn"));
  // At the current cell, not wherever the mouse happens to be.
  const QRect cell = table->visualRect(table->currentIndex());
  EXPECT_EQ(at, table->viewport()->mapToGlobal(cell.center()));
  EXPECT_EQ(window->focusWidget(), table) << "the focus comes back to the table";
}

TEST_F(AccessibilityTest, TabGoesRoundEveryDialog) {
  auto window = ShownWindow();
  FakeFetchHost host;
  HttpClient client(host);
  NewsService news(client, window->msgMain(), window->Brand());
  const std::vector<std::string> items = {"5^Older news^2024-01-01"};
  struct Case {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> open;
    // Where the focus is when the dialog opens, then every stop of Tab.
    std::vector<QString> cycle;
  };
  const Case cases[] = {
      {"About",
       [&] { return std::make_unique<TfrmAbout>(window->Brand(), window.get()); },
       {"editAbout", "memAbout"}},
      {"Main Keyword",
       [&] { return std::make_unique<TfrmMainKeyword>(window->msgMain(), window.get()); },
       {"edtMainKeyword", "btnOk", "btnCancel"}},
      {"Enter Keyword(s)",
       [&] { return std::make_unique<TfrmAddKeywords>(window->msgMain(), window.get()); },
       {"edtAddKeyword", "btnOk", "btnCancel", "edtList", "btnBrowse"}},
      {"Security image",
       [&] { return std::make_unique<TfrmCaptcha>(window->msgMain(), window.get()); },
       {"edtPassword", "btnRefresh", "btnOk", "btnCancel", "imgSecurityImage"}},
      {"Select Search Type",
       [&] { return std::make_unique<TfrmSelSearch>(window.get()); },
       {"btnOk", "btnCancel", "rbPrecise"}},
      {"News",
       [&] {
         return std::make_unique<TfrmNews>(
             items, news, [](const std::string&) {}, window.get());
       },
       {"lvwItems", "prfEditorNews", "btnExit"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<QWidget> dialog = c.open();
    dialog->show();
    Activate(dialog.get());
    CheckTabCycle(c.cycle);
  }
}

TEST_F(AccessibilityTest, TheNoBrowserBoxLetsTheKeyboardSelectAndCopyTheAddress) {
  auto window = ShownWindow();
  MessageBox boxes(window.get());
  bool checked = false;
  WhenModalOpens([&](QWidget* box) {
    checked = true;
    Activate(box);
    auto* copy = Child<QPushButton>(box, "btnCopyAddress");
    ASSERT_NE(copy, nullptr);
    QStringList stops;
    for (int i = 0; i < 3; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      stops << QApplication::focusWidget()->metaObject()->className();
    }
    EXPECT_TRUE(stops.contains("QLabel"))
        << "the address can be selected from the keyboard: " << stops.join(' ').toStdString();
    copy->setFocus();
    QTest::keyClick(copy, Qt::Key_Space);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://help.example/a?b=1");
    EXPECT_TRUE(box->isVisible()) << "copying leaves the box open";
    QTest::keyClick(box, Qt::Key_Escape);
  });
  boxes.ShowAddress("No browser.", "http://help.example/a?b=1");
  EXPECT_TRUE(checked);
}

}  // namespace
