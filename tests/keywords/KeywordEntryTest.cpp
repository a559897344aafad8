// The "Main Keyword" and "Add Keywords" commands with their real modal
// dialogs, and keyword list import into the results table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "keywords/KeywordFile.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;

namespace {

using Kind = MessageBox::Kind;
using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

class KeywordEntryTest : public MainWindowFixture {
 protected:
  KeywordEntryTest() { OpenWindow(); }

  // Clicks a tool-bar button whose dialog `action` then works on.
  void WithDialog(const char* button, std::function<void(QWidget*)> action) {
    WhenModalOpens(std::move(action));
    Child<QPushButton>(window_.get(), button)->click();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the dialog has closed";
  }

  std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const auto& box : MessageBox::ShownBoxes()) {
      EXPECT_EQ(box.kind, Kind::Information) << box.text;
      texts.push_back(box.text);
    }
    return texts;
  }

  static void Type(QWidget* dialog, const char* edit, const QString& text) {
    Child<QLineEdit>(dialog, edit)->setText(text);
  }
  static void Click(QWidget* dialog, const char* button) {
    Child<QPushButton>(dialog, button)->click();
  }
  static void PressEnter(QWidget* dialog, const char* edit, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(Child<QLineEdit>(dialog, edit), Qt::Key_Return, modifiers);
  }

  QString Path(const std::string& name) const {
    return QString::fromStdString(program_.File(name).string());
  }
};

// The widget that Tab moves the focus to from `widget`.
QWidget* NextTabStop(QWidget* widget) {
  QWidget* next = widget->nextInFocusChain();
  while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
  return next;
}

// True when the label's whole text shows.
bool TextFits(const QLabel* label) {
  if (label->wordWrap()) return label->heightForWidth(label->width()) <= label->height();
  return label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width();
}

// --- Main Keyword

TEST_F(KeywordEntryTest, MainKeywordDialogLooksAsDesigned) {
  WithDialog("btnMainKeyword", [](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Main Keyword");
    EXPECT_EQ(dialog->size(), QSize(309, 109));
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(Child<QLabel>(dialog, "lblMainKeyword")->text(),
              "Please type the main keyword(s) Eg: golf, soccer:");
    EXPECT_TRUE(TextFits(Child<QLabel>(dialog, "lblMainKeyword")));
    auto* edit = Child<QLineEdit>(dialog, "edtMainKeyword");
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(dialog->focusWidget(), edit);
    EXPECT_EQ(NextTabStop(edit), Child<QPushButton>(dialog, "btnOk"));
    EXPECT_EQ(NextTabStop(Child<QPushButton>(dialog, "btnOk")),
              Child<QPushButton>(dialog, "btnCancel"));
    Click(dialog, "btnCancel");
  });
}

TEST_F(KeywordEntryTest, EmptyMainKeywordIsRefusedAndBlanksAreAccepted) {
  window_->ShowMainStatus("Process completed sucessfull!");
  MessageBox::SetNextAnswer(Answer::Ok);
  WithDialog("btnMainKeyword", [](QWidget* dialog) {
    Click(dialog, "btnOk");
    EXPECT_TRUE(dialog->isVisible()) << "stays open after the message";
    Type(dialog, "edtMainKeyword", "   ");
    Click(dialog, "btnOk");
  });
  EXPECT_EQ(ShownTexts(), Cells{"Please add a Main Keyword."});
  EXPECT_EQ(window_->MainKeyword(), "   ");
  EXPECT_EQ(MainKeywordText(), "Main Keyword:    ");
  EXPECT_EQ(Status(), "");
}

TEST_F(KeywordEntryTest, EnterInTheEditDoesWhatOkDoesWhateverTheModifiers) {
  MessageBox::SetNextAnswer(Answer::Ok);
  WithDialog("btnMainKeyword", [](QWidget* dialog) {
    PressEnter(dialog, "edtMainKeyword", Qt::ShiftModifier);
    EXPECT_TRUE(dialog->isVisible());
    Type(dialog, "edtMainKeyword", "golf, soccer");
    PressEnter(dialog, "edtMainKeyword", Qt::ControlModifier);
  });
  EXPECT_EQ(ShownTexts(), Cells{"Please add a Main Keyword."}) << "one message per Enter";
  EXPECT_EQ(window_->MainKeyword(), "golf, soccer");
}

TEST_F(KeywordEntryTest, CancellingMainKeywordChangesNothing) {
  window_->ShowMainStatus("Process aborted!");
  WithDialog("btnMainKeyword", [](QWidget* dialog) {
    Type(dialog, "edtMainKeyword", "tennis");
    Click(dialog, "btnCancel");
  });
  WithDialog("btnMainKeyword", [](QWidget* dialog) {
    Type(dialog, "edtMainKeyword", "tennis");
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(window_->MainKeyword(), "");
  EXPECT_EQ(MainKeywordText(), "Main Keyword: ");
  EXPECT_EQ(Status(), "Process aborted!");
}

TEST_F(KeywordEntryTest, EachMainKeywordDialogStartsEmptyAndReplacesTheKeyword) {
  WithDialog("btnMainKeyword", [](QWidget* dialog) {
    Type(dialog, "edtMainKeyword", "golf");
    Click(dialog, "btnOk");
  });
  WithDialog("btnMainKeyword", [](QWidget* dialog) {
    EXPECT_EQ(Child<QLineEdit>(dialog, "edtMainKeyword")->text(), "");
    Type(dialog, "edtMainKeyword", "soccer");
    Click(dialog, "btnOk");
  });
  EXPECT_EQ(window_->MainKeyword(), "soccer");
  EXPECT_EQ(MainKeywordText(), "Main Keyword: soccer");
}

// --- Add Keywords

TEST_F(KeywordEntryTest, AddKeywordsDialogLooksAsDesigned) {
  WithDialog("btnAddKeyword", [](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Enter Keyword(s)");
    EXPECT_EQ(dialog->size(), QSize(426, 147));
    EXPECT_EQ(Child<QLabel>(dialog, "lblAddKeyword")->text(),
              "Please type keyword(s) Eg: golf, soccer:");
    EXPECT_EQ(Child<QLabel>(dialog, "lblList")->text(),
              "Or add a file with a keyword list (one group of keywords per line):");
    for (const char* label : {"lblAddKeyword", "lblList"})
      EXPECT_TRUE(TextFits(Child<QLabel>(dialog, label))) << label;
    EXPECT_EQ(Child<QPushButton>(dialog, "btnBrowse")->text(), "Browse");
    // Tab order: edtAddKeyword, Ok, Cancel, edtList, Browse.
    QWidget* expected[] = {
        Child<QLineEdit>(dialog, "edtAddKeyword"), Child<QPushButton>(dialog, "btnOk"),
        Child<QPushButton>(dialog, "btnCancel"), Child<QLineEdit>(dialog, "edtList"),
        Child<QPushButton>(dialog, "btnBrowse")};
    EXPECT_EQ(dialog->focusWidget(), expected[0]);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(NextTabStop(expected[i]), expected[(i + 1) % 5]) << i;
    Click(dialog, "btnCancel");
  });
}

TEST_F(KeywordEntryTest, ATypedPhraseBecomesOneRowAsTyped) {
  WithDialog("btnAddKeyword", [](QWidget* dialog) {
    Type(dialog, "edtAddKeyword", " golf, soccer ");
    Click(dialog, "btnOk");
  });
  ASSERT_EQ(window_->Results().RowCount(), 1);
  EXPECT_EQ(Column(kColNo), Cells{"1"});
  EXPECT_EQ(Column(kColKeywords), Cells{" golf, soccer "});
  EXPECT_EQ(Column(kColSearches), Cells{""});
  EXPECT_EQ(ItemCount(), "1 items listed");
}

TEST_F(KeywordEntryTest, TypedRowsNumberOnFromTheRowCountWithoutRenumbering) {
  window_->Results().AppendKeywords({{"k", ""}, {"k", ""}, {"k", ""}});
  auto* table = Child<QTableView>(window_.get(), "lvwItems")->model();
  table->setData(table->index(0, 0), Qt::Checked, Qt::CheckStateRole);
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnDeleteSelectedClick();
  WithDialog("btnAddKeyword", [](QWidget* dialog) {
    Type(dialog, "edtAddKeyword", "golf");
    PressEnter(dialog, "edtAddKeyword");
  });
  EXPECT_EQ(Column(kColNo), (Cells{"2", "3", "3"}));
}

TEST_F(KeywordEntryTest, BothWaysAtOnceAreRefused) {
  program_.Write("list.txt", "golf\n");
  MessageBox::SetNextAnswer(Answer::Ok);
  MessageBox::SetNextAnswer(Answer::Ok);
  WithDialog("btnAddKeyword", [this](QWidget* dialog) {
    Type(dialog, "edtAddKeyword", "tennis");
    Type(dialog, "edtList", Path("list.txt"));
    PressEnter(dialog, "edtList");
    EXPECT_TRUE(dialog->isVisible());
    PressEnter(dialog, "edtAddKeyword");
    EXPECT_EQ(Child<QLineEdit>(dialog, "edtAddKeyword")->text(), "tennis") << "fields unchanged";
    EXPECT_EQ(Child<QLineEdit>(dialog, "edtList")->text(), Path("list.txt"));
    Click(dialog, "btnCancel");
  });
  EXPECT_EQ(ShownTexts(), (Cells{"Please select only one way to add keywords.",
                                 "Please select only one way to add keywords."}));
  EXPECT_EQ(window_->Results().RowCount(), 0);
}

TEST_F(KeywordEntryTest, APathThatNamesNoFileIsRefused) {
  MessageBox::SetNextAnswer(Answer::Ok);
  MessageBox::SetNextAnswer(Answer::Ok);
  WithDialog("btnAddKeyword", [this](QWidget* dialog) {
    Type(dialog, "edtList", Path("missing.txt"));
    Click(dialog, "btnOk");
    Type(dialog, "edtList", QString::fromStdString(program_.Path().string()));  // a folder
    Click(dialog, "btnOk");
    EXPECT_TRUE(dialog->isVisible());
    Click(dialog, "btnCancel");
  });
  EXPECT_EQ(ShownTexts(), (Cells{"Please select a valid file.", "Please select a valid file."}));
}

TEST_F(KeywordEntryTest, OnlyARegularFileIsAValidFile) {
  ASSERT_EQ(mkfifo(program_.File("pipe.txt").c_str(), 0600), 0);
  const QString paths[] = {Path("pipe.txt"), QStringLiteral("/dev/zero")};
  // Taken for a list, the pipe would block the window for ever and
  // /dev/zero would fill the memory.
  for (const QString& path : paths) ASSERT_FALSE(KeywordFileExists(path.toStdString()));
  for (std::size_t i = 0; i < std::size(paths); ++i) MessageBox::SetNextAnswer(Answer::Ok);
  WithDialog("btnAddKeyword", [&](QWidget* dialog) {
    for (const QString& path : paths) {
      Type(dialog, "edtList", path);
      PressEnter(dialog, "edtList");
      EXPECT_TRUE(dialog->isVisible());
    }
    Click(dialog, "btnCancel");
  });
  EXPECT_EQ(ShownTexts(), (Cells{"Please select a valid file.", "Please select a valid file."}));

  // Should one turn up at import time all the same, nothing is read.
  window_->Results().AppendKeywords({{"golf", ""}});
  for (const QString& path : paths) window_->ImportKeywordFile(path.toStdString());
  EXPECT_EQ(Column(kColKeywords), Cells{"golf"});
  EXPECT_EQ(ItemCount(), "0 item listed");
}

TEST_F(KeywordEntryTest, OkWithBothFieldsEmptyClosesAndChangesNothing) {
  WithDialog("btnAddKeyword", [](QWidget* dialog) { Click(dialog, "btnOk"); });
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_EQ(ItemCount(), "0 item listed");
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(KeywordEntryTest, BrowseFillsTheListPathAndThenCountsAsASecondWay) {
  program_.Write("list.txt", "golf\n");
  FileDialogs::SetNextFileName(Path("list.txt"));
  FileDialogs::SetNextFileName({});  // cancelled
  MessageBox::SetNextAnswer(Answer::Ok);
  WithDialog("btnAddKeyword", [this](QWidget* dialog) {
    Type(dialog, "edtAddKeyword", "tennis");
    Click(dialog, "btnBrowse");
    EXPECT_EQ(Child<QLineEdit>(dialog, "edtList")->text(), Path("list.txt"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "edtAddKeyword")->text(), "tennis");
    Click(dialog, "btnBrowse");
    EXPECT_EQ(Child<QLineEdit>(dialog, "edtList")->text(), Path("list.txt")) << "cancel keeps it";
    Click(dialog, "btnOk");
    Click(dialog, "btnCancel");
  });
  EXPECT_EQ(ShownTexts(), Cells{"Please select only one way to add keywords."});
  ASSERT_EQ(FileDialogs::Requests().size(), 2u);
  const auto& request = FileDialogs::Requests()[0];
  EXPECT_FALSE(request.save);
  EXPECT_EQ(request.title, "Open file");
  EXPECT_EQ(request.filter, "Text files (*.txt)");
}

TEST_F(KeywordEntryTest, AListFileIsAppendedAndNumberedOn) {
  window_->Results().AppendKeywords({{"existing", "10"}});
  program_.Write("list.txt", "golf\r\n\r\nsoccer clubs");
  WithDialog("btnAddKeyword", [this](QWidget* dialog) {
    Type(dialog, "edtList", Path("list.txt"));
    Click(dialog, "btnOk");
  });
  EXPECT_EQ(Column(kColNo), (Cells{"1", "2", "3", "4"}));
  EXPECT_EQ(Column(kColKeywords), (Cells{"existing", "golf", "", "soccer clubs"}));
  EXPECT_EQ(Column(kColSearches), (Cells{"10", "", "", ""}));
  EXPECT_EQ(ItemCount(), "Total: 4");
}

// --- Import

struct ImportCase {
  const char* name;
  std::string bytes;
  Cells keywords;
};

void PrintTo(const ImportCase& c, std::ostream* os) {
  *os << c.name;
}

class ImportKeywordFileTest : public KeywordEntryTest,
                              public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportKeywordFileTest, ReadsTheLines) {
  program_.Write("list.txt", GetParam().bytes);
  window_->ImportKeywordFile(program_.File("list.txt").string());
  EXPECT_EQ(Column(kColKeywords), GetParam().keywords);
  Cells numbers;
  for (std::size_t i = 1; i <= GetParam().keywords.size(); ++i)
    numbers.push_back(std::to_string(i));
  EXPECT_EQ(Column(kColNo), numbers);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    LineEndings, ImportKeywordFileTest,
    ::testing::Values(ImportCase{"CrLf", "golf\r\nsoccer\r\n", {"golf", "soccer"}},
                      ImportCase{"Lf", "golf\nsoccer\n", {"golf", "soccer"}},
                      ImportCase{"Cr", "golf\rsoccer\r", {"golf", "soccer"}},
                      ImportCase{"BlankLine", "golf\n\nsoccer\n", {"golf", "", "soccer"}},
                      ImportCase{"NoFinalBreak", "golf\nsoccer", {"golf", "soccer"}},
                      ImportCase{"NulByte", "golf\nsoc\0cer\ntennis\n"s, {"golf", "soc"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeywordEntryTest, AnEmptyFileAddsNothingAndLeavesTheCountPanel) {
  window_->Results().AppendKeywords({{"golf", ""}});
  window_->ShowItemCount();
  program_.Write("empty.txt", "");
  window_->ImportKeywordFile(program_.File("empty.txt").string());
  EXPECT_EQ(window_->Results().RowCount(), 1);
  EXPECT_EQ(ItemCount(), "1 items listed");
}

TEST_F(KeywordEntryTest, AFileThatIsGoneByImportTimeDoesNothing) {
  window_->ImportKeywordFile(program_.File("gone.txt").string());
  window_->ImportKeywordFile("");
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_EQ(ItemCount(), "0 item listed");
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(KeywordEntryTest, AnUnreadableFileReachesTheCrashHandlerAndAddsNoRow) {
  window_->Results().AppendKeywords({{"golf", ""}});
  MessageBox::SetNextAnswer(Answer::Ok);
  // Exists as a file, but reading it fails (nothing is mapped at address 0).
  WithDialog("btnAddKeyword", [](QWidget* dialog) {
    Type(dialog, "edtList", "/proc/self/mem");
    Click(dialog, "btnOk");
  });
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Warning);
  EXPECT_NE(MessageBox::ShownBoxes()[0].text.find("/proc/self/mem"), std::string::npos);
  EXPECT_EQ(window_->Results().RowCount(), 1);

  // The window runs on.
  WithDialog("btnAddKeyword", [](QWidget* dialog) {
    Type(dialog, "edtAddKeyword", "soccer");
    Click(dialog, "btnOk");
  });
  EXPECT_EQ(Column(kColKeywords), (Cells{"golf", "soccer"}));
}

}  // namespace
