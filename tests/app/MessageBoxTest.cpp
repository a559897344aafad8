// msgMain's boxes as real dialogs, and the test seam that answers them.
#include "base/ui/MessageBox.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QTest>

#include "support/GuiFixture.h"
#include "support/ModalDialogs.h"

using namespace quorvane;

namespace {

using Kind = MessageBox::Kind;
using Answer = MessageBox::Answer;

class MessageBoxTest : public GuiFixture {
 protected:
  MessageBoxTest() { owner_.setWindowTitle("Brand v2.0"); }

  QWidget owner_;
  MessageBox messages_{&owner_};
};

QStringList ButtonTexts(QMessageBox* box) {
  QStringList texts;
  for (QAbstractButton* button : box->buttons()) texts << button->text();
  texts.sort();
  return texts;
}

QAbstractButton* Button(QMessageBox* box, const QString& text) {
  for (QAbstractButton* button : box->buttons())
    if (button->text() == text) return button;
  ADD_FAILURE() << "no button " << text.toStdString();
  return nullptr;
}

TEST_F(MessageBoxTest, ConfirmIsTrueOnlyForOk) {
  struct Case {
    const char* press;  // a button caption, or "Escape"
    bool expected;
  };
  for (const Case& c : {Case{"OK", true}, Case{"Cancel", false}, Case{"Escape", false}}) {
    WhenModalOpens([&](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), "Brand v2.0") << "titled with the owner's caption";
      EXPECT_EQ(box->text(), "Delete?");
      EXPECT_EQ(box->icon(), QMessageBox::Information);
      EXPECT_EQ(ButtonTexts(box), (QStringList{"Cancel", "OK"}));
      if (QString(c.press) == "Escape") {
        QTest::keyClick(box, Qt::Key_Escape);
      } else {
        Button(box, c.press)->click();
      }
    });
    EXPECT_EQ(messages_.Confirm("Delete?"), c.expected) << c.press;
  }
}

TEST_F(MessageBoxTest, InformationAndWarningHaveOnlyOk) {
  for (const auto& [kind, icon] : {std::pair{Kind::Information, QMessageBox::Information},
                                   std::pair{Kind::Warning, QMessageBox::Warning}}) {
    WhenModalOpens([icon = icon](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->icon(), icon);
      EXPECT_EQ(ButtonTexts(box), QStringList{"OK"});
      Button(box, "OK")->click();
    });
    if (kind == Kind::Information) {
      messages_.Information("Note");
    } else {
      messages_.Warning("Careful");
    }
  }
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Information);
  EXPECT_EQ(MessageBox::ShownBoxes()[1].kind, Kind::Warning);
  EXPECT_EQ(MessageBox::ShownBoxes()[1].text, "Careful");
}

TEST_F(MessageBoxTest, LineBreaksShowOnceAndMarkupStaysText) {
  // The update question breaks its line as LF CR; on screen that is one break.
  WhenModalOpens([](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "close to\nreplace\nthird\nfourth <b>x</b>");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    Button(box, "OK")->click();
  });
  const std::string text = "close to\n\rreplace\r\nthird\rfourth <b>x</b>";
  EXPECT_TRUE(messages_.Confirm(text));
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, text) << "the record keeps the text as given";
}

TEST_F(MessageBoxTest, ScriptedAnswersShowNoDialogAndAreRecorded) {
  MessageBox::SetNextAnswer(Answer::Cancel);
  MessageBox::SetNextAnswer(Answer::Ok);
  MessageBox::SetNextAnswer(Answer::Ok);
  // Each call returns at once: a real dialog would block until the time bound.
  EXPECT_FALSE(messages_.Confirm("first?"));
  EXPECT_TRUE(messages_.Confirm("second?"));
  messages_.Warning("third");
  EXPECT_EQ(MessageBox::PendingAnswers(), 0);
  const auto& shown = MessageBox::ShownBoxes();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "first?");
  EXPECT_EQ(shown[2].kind, Kind::Warning);
  EXPECT_EQ(shown[2].title, "Brand v2.0");
}

TEST_F(MessageBoxTest, ABoxOverAnOpenDialogBelongsToThatDialog) {
  QDialog dialog(&owner_);
  WhenModalOpens([&](QWidget* open) {
    ASSERT_EQ(open, &dialog);
    WhenModalOpens([&](QWidget* box) {
      ASSERT_NE(qobject_cast<QMessageBox*>(box), nullptr);
      EXPECT_EQ(box->parentWidget(), &dialog);
      EXPECT_EQ(box->windowTitle(), "Brand v2.0");
      Button(qobject_cast<QMessageBox*>(box), "OK")->click();
    });
    messages_.Information("Please select a valid file.");
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open";
    dialog.reject();
  });
  dialog.exec();
  EXPECT_EQ(MessageBox::ShownBoxes().size(), 1u);
}

}  // namespace
