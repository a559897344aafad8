#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>

#include "keywords/ui/FSelectSearch.h"
#include "support/ModalDialogs.h"

using namespace quorvane;

namespace {

TEST(SelectSearchDialog, OpensWithPreciseChosenAndTheFixedTexts) {
  TfrmSelSearch dialog;
  auto* precise = dialog.findChild<QRadioButton*>("rbPrecise");
  auto* broad = dialog.findChild<QRadioButton*>("rbBroad");
  auto* ok = dialog.findChild<QPushButton*>("btnOk");
  auto* cancel = dialog.findChild<QPushButton*>("btnCancel");
  ASSERT_TRUE(precise && broad && ok && cancel);

  EXPECT_EQ(dialog.windowTitle(), "Select Search Type");
  // The design size at least, wider where the font needs it.
  EXPECT_GE(dialog.width(), 480);
  EXPECT_GE(dialog.height(), 114);
  EXPECT_GE(dialog.width(), dialog.minimumSizeHint().width());
  EXPECT_EQ(precise->text(),
            "Precise Search Eg: \"golf clubs\" Should appear the word in the same order.");
  EXPECT_EQ(broad->text(),
            "Broad Search Eg: golf clubs, any word no matther the order or position in the text.");
  EXPECT_EQ(ok->text(), "Ok");
  EXPECT_EQ(cancel->text(), "Cancel");
  EXPECT_TRUE(precise->isChecked());
  EXPECT_FALSE(broad->isChecked());
  EXPECT_EQ(TabChain(ok), (std::vector<QWidget*>{ok, cancel, precise, broad}));
  // Both captions are shown whole inside the fixed width.
  dialog.show();
  for (QRadioButton* choice : {precise, broad}) {
    EXPECT_LE(choice->sizeHint().width(), choice->width()) << choice->objectName().toStdString();
    EXPECT_LE(choice->geometry().right(), dialog.width());
  }
  dialog.hide();
}

TEST(SelectSearchDialog, ClosesWithTheChosenTypeOrCancel) {
  struct Case {
    const char* what;
    bool chooseBroad;
    const char* button;
    int result;
    SearchType type;
  };
  const Case cases[] = {
      {"precise", false, "btnOk", QDialog::Accepted, SearchType::Precise},
      {"broad", true, "btnOk", QDialog::Accepted, SearchType::Broad},
      {"cancel", true, "btnCancel", QDialog::Rejected, SearchType::Broad},
  };
  for (const auto& c : cases) {
    TfrmSelSearch dialog;
    const int result = ExecWith(dialog, [&] {
      if (c.chooseBroad) dialog.findChild<QRadioButton*>("rbBroad")->click();
      dialog.findChild<QPushButton*>(c.button)->click();
    });
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(dialog.ChosenSearchType(), c.type) << c.what;
    // The two choices stay one group: exactly one is on.
    EXPECT_NE(dialog.findChild<QRadioButton*>("rbPrecise")->isChecked(),
              dialog.findChild<QRadioButton*>("rbBroad")->isChecked())
        << c.what;
  }
}

}  // namespace
